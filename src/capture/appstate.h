// SPDX-License-Identifier: MIT
#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <optional>

#include "annotation/style.h"
#include "annotation/tool.h"
#include "capture/grabentry.h"
#include "capture/history.h"
#include "editor/model/zogquote.h"

class EditorModel;

// The application-wide model of grabs: the list the strip shows (newest first), the grab shown
// in the editor, and one editor model per grab opened in this run, so that going back to a grab
// finds its layers, undo history and tool as they were. All disk work goes through History.
// Main thread only.
//
// Memory stays bounded however many grabs are visited: once another grab is selected (after
// selectedChanged), every model but the selected grab's lets go of the picture its file holds
// (EditorModel::releaseBase), keeping layers, undo history, tool and styles; showing it again
// reads the file anew. A model with nothing to undo or redo and no layers holds nothing its file
// cannot give back, so it goes altogether (deleteLater) and only its tool, styles and quote are
// kept; the next model(url) or prepareModel(url) makes it again from the file. The last model
// handed out stays, released, to seed new ones; models of grabs that left the list go.
class AppState : public QObject
{
    Q_OBJECT

public:
    // Lists the history folder; nothing is selected and no model exists yet.
    explicit AppState(QObject *parent = nullptr);
    ~AppState() override;

    // The grabs shown, newest first; at most History::limit after an insert.
    const QList<GrabEntry> &entries() const { return m_entries; }
    // The url of the grab shown in the editor; it may name a grab with no model yet.
    const std::optional<QUrl> &selected() const { return m_selected; }
    // The strip's choice; any url is taken as it is (selectLatestIfNeeded repairs stale ones).
    void setSelected(const std::optional<QUrl> &url);
    // The models alive, by grab url, released ones included. Owned here; a dropped model or a
    // deleted grab's model is destroyed later from the event loop, so hold them in a QPointer
    // across turns of the loop.
    const QHash<QUrl, EditorModel *> &models() const { return m_models; }
    // The model most recently handed out by model(); it seeds the tool and styles of the next new
    // one and may outlive its own grab.
    EditorModel *lastModel() const { return m_lastModel; }

    // The newest grab; nothing when the list is empty.
    std::optional<GrabEntry> latest() const;
    // The selected grab's model if it was made already and holds its picture; never makes one.
    EditorModel *currentModel() const;

    // The grab's model, made from its file on first use (or given its picture back from the file
    // when released); null when the grab is not listed or its image cannot be read (then nothing
    // is made and the next call tries again).
    EditorModel *model(const QUrl &url);
    // Gets the grab's model ready without reading its image on the main thread: the file is
    // decoded on a worker and the model made here from it, then modelReady(url) follows, and
    // model(url) answers at once; modelFailed(url) when the grab is not listed or its image
    // cannot be read. Asking again while that url is being read starts no second read; a url
    // whose model holds its picture is ready on the next turn of the event loop. It is meant for
    // the grab about to be shown: when another grab is selected by the time the picture is read,
    // it is let go and neither signal follows.
    void prepareModel(const QUrl &url);
    // Puts a grab at the head of the list and selects it; with celebrate its model is made at
    // once and given a random quote. A grab already listed moves to the head, keeping its model.
    void insert(const GrabEntry &entry, bool celebrate);
    // Stores the image as a new grab and inserts it quietly; nothing when it cannot be written.
    std::optional<GrabEntry> addAsNewGrab(const QImage &image);
    // Selects the newest grab unless the selection names a listed one (empty list: nothing).
    void selectLatestIfNeeded();
    // Moves the grab folder and follows it: open models and the selection move to the new file
    // locations and the list is read from the new folder. False with the file system's message in
    // *error, and this state unchanged, when the move fails.
    bool moveHistory(const QString &folder, QString *error = nullptr);
    // Moves the grab's file to the desktop's trash and takes it off the list; a selection on it
    // moves to the next older grab, else to the oldest, else to nothing. Its model is kept aside
    // so that restoreTrashed() brings the grab back as it was, layers and undo included; only the
    // grab trashed last is kept so. grabTrashed follows; when the file cannot go to the trash it
    // stays, listed, nothing changes and trashFailed says why.
    void trash(const GrabEntry &entry);
    // The grab trashed last, while restoreTrashed() can still put it back.
    std::optional<GrabEntry> trashed() const;
    // Puts the grab trashed last back in its file and its place in the list, selected if it was,
    // and removes its trash entry: grabRestored follows. restoreFailed when it cannot (the trash
    // was emptied, another file took its name); nothing is replaced.
    void restoreTrashed();
    // Gives up putting the grab trashed last back: it stays in the trash and its model goes.
    void forgetTrashed();

signals:
    // entries changed (insert, trash, restoreTrashed, moveHistory).
    void entriesChanged();
    // selected changed.
    void selectedChanged();
    // The outcome of prepareModel for that url.
    void modelReady(const QUrl &url);
    void modelFailed(const QUrl &url);
    // The outcomes of trash and restoreTrashed, after the list and selection changed.
    void grabTrashed(const GrabEntry &entry);
    void trashFailed(const GrabEntry &entry, const QString &reason);
    void grabRestored(const GrabEntry &entry);
    void restoreFailed(const GrabEntry &entry, const QString &reason);

private:
    // What a released model leaves behind.
    struct Parked
    {
        Tool tool = Tool::arrow;
        QMap<Tool, Style> toolStyles;
        std::optional<ZogQuote> quote;
    };
    // What the grab trashed last needs to come back as it was.
    struct Trashed
    {
        TrashedGrab grab;
        bool wasSelected = false;
        EditorModel *model = nullptr;
        std::optional<Parked> parked;
    };

    EditorModel *makeModel(const QUrl &url, const QImage &image);
    void releaseHidden();
    bool isWhole(const QUrl &url) const;
    void dropUnlisted();
    void setEntries(const QList<GrabEntry> &entries);
    void setLastModel(EditorModel *model);
    void discard(EditorModel *model);

    QList<GrabEntry> m_entries;
    std::optional<QUrl> m_selected;
    QHash<QUrl, EditorModel *> m_models;
    QHash<QUrl, Parked> m_parked;
    QSet<QUrl> m_loading;
    EditorModel *m_lastModel = nullptr;
    std::optional<Trashed> m_trashed;
};
