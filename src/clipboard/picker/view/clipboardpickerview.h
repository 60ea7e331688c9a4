// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class Clipboard;
class ActionToast;
class ClipboardPickerModel;
class ClipListView;
class KiwanoButton;
class QLabel;
class QLineEdit;
class QStackedWidget;

// The picker's content: the search header, the list of entries (or a word when there are none)
// and the footer with the selected entry's details, the keys and the Clear and Settings buttons.
// It draws its own cream box with a peel border.
class ClipboardPickerView : public QWidget
{
    Q_OBJECT

public:
    ClipboardPickerView(ClipboardPickerModel &model, Clipboard &clipboard, QWidget *parent = nullptr);

    // Reads the settings the footer depends on again (the panel calls it at every opening).
    void refresh();
    // Said in place of the X11 line where nothing in this session can type the paste; the X11
    // line when empty.
    void setCopyOnlyLine(const QString &line);

    QLineEdit *searchField() const { return m_search; }
    ClipListView *list() const { return m_list; }
    QString detailsText() const;
    QString hintText() const;
    bool showsSessionWarning() const;
    QString sessionWarningText() const;
    bool showsEmptyState() const;
    QString emptyTitle() const;
    // Offers Undo after Clear and Delete.
    ActionToast *toast() const { return m_toast; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *makeHeader();
    QWidget *makeEmptyState();
    QWidget *makeFooter();
    void updateContent();
    void updateDetails();

    ClipboardPickerModel &m_model;
    Clipboard &m_clipboard;
    QLineEdit *m_search = nullptr;
    QStackedWidget *m_content = nullptr;
    ClipListView *m_list = nullptr;
    QLabel *m_emptyTitle = nullptr;
    QLabel *m_emptyHint = nullptr;
    QLabel *m_details = nullptr;
    QLabel *m_hint = nullptr;
    QLabel *m_session = nullptr;
    QString m_copyOnlyLine;
    KiwanoButton *m_clear = nullptr;
    KiwanoButton *m_settings = nullptr;
    ActionToast *m_toast = nullptr;
};
