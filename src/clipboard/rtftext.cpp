// SPDX-License-Identifier: MIT
#include "clipboard/rtftext.h"

#include <QList>
#include <QStringDecoder>

namespace {

struct Group
{
    bool skip = false;
    int unicodeSkip = 1;
};

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Destinations whose text is not part of the document's body.
bool isHiddenDestination(const QByteArray &word)
{
    static const QList<QByteArray> hidden{"fonttbl", "colortbl", "stylesheet", "info", "pict",
                                          "header", "footer", "headerl", "headerr", "footerl",
                                          "footerr", "object", "listtable", "listoverridetable",
                                          "rsidtbl", "generator", "xmlnstbl", "themedata",
                                          "datastore", "latentstyles", "filetbl", "revtbl"};
    return hidden.contains(word);
}

class Reader
{
public:
    explicit Reader(const QByteArray &rtf) : m_rtf(rtf) {}

    std::optional<QString> run()
    {
        QList<Group> groups{Group{}};
        int pendingSkip = 0; // characters still to drop after a \u escape
        while (m_pos < m_rtf.size()) {
            const char c = m_rtf.at(m_pos++);
            if (c == '{') {
                groups.append(groups.last());
                continue;
            }
            if (c == '}') {
                if (groups.size() <= 1)
                    return std::nullopt;
                groups.removeLast();
                continue;
            }
            if (c == '\r' || c == '\n')
                continue;
            Group &group = groups.last();
            if (c != '\\') {
                if (pendingSkip > 0) {
                    --pendingSkip;
                    continue;
                }
                if (!group.skip)
                    m_bytes.append(c);
                continue;
            }
            if (m_pos >= m_rtf.size())
                break;
            const char next = m_rtf.at(m_pos);
            if (next == '\'') {
                // A byte in the document's code page, as two hexadecimal digits.
                const QByteArray hex = m_rtf.mid(m_pos + 1, 2);
                m_pos += 3;
                bool parsed = false;
                const int value = hex.toInt(&parsed, 16);
                if (pendingSkip > 0) {
                    --pendingSkip;
                    continue;
                }
                if (parsed && !group.skip)
                    m_bytes.append(char(value));
                continue;
            }
            if (!isLetter(next)) {
                ++m_pos;
                if (next == '*')
                    group.skip = true;
                else if (!group.skip && (next == '\\' || next == '{' || next == '}'))
                    m_bytes.append(next);
                else if (!group.skip && next == '~')
                    appendText(QStringLiteral("\u00A0"));
                continue;
            }
            QByteArray word;
            while (m_pos < m_rtf.size() && isLetter(m_rtf.at(m_pos)))
                word.append(m_rtf.at(m_pos++));
            QByteArray number;
            if (m_pos < m_rtf.size() && (m_rtf.at(m_pos) == '-' || isDigit(m_rtf.at(m_pos))))
                number.append(m_rtf.at(m_pos++));
            while (m_pos < m_rtf.size() && isDigit(m_rtf.at(m_pos)))
                number.append(m_rtf.at(m_pos++));
            if (m_pos < m_rtf.size() && m_rtf.at(m_pos) == ' ')
                ++m_pos;
            if (isHiddenDestination(word)) {
                group.skip = true;
            } else if (word == "uc") {
                group.unicodeSkip = qMax(0, number.toInt());
            } else if (word == "u" && !number.isEmpty()) {
                int code = number.toInt();
                if (code < 0)
                    code += 65536;
                if (!group.skip)
                    appendText(QString(QChar(char16_t(code))));
                pendingSkip = group.unicodeSkip;
            } else if (!group.skip) {
                if (word == "par" || word == "line" || word == "sect" || word == "row")
                    appendText(QStringLiteral("\n"));
                else if (word == "tab" || word == "cell")
                    appendText(QStringLiteral("\t"));
                else if (word == "emdash")
                    appendText(QStringLiteral("\u2014"));
                else if (word == "endash")
                    appendText(QStringLiteral("\u2013"));
                else if (word == "bullet")
                    appendText(QStringLiteral("\u2022"));
                else if (word == "lquote")
                    appendText(QStringLiteral("\u2018"));
                else if (word == "rquote")
                    appendText(QStringLiteral("\u2019"));
                else if (word == "ldblquote")
                    appendText(QStringLiteral("\u201C"));
                else if (word == "rdblquote")
                    appendText(QStringLiteral("\u201D"));
            }
        }
        flush();
        return m_text;
    }

private:
    void appendText(const QString &text)
    {
        flush();
        m_text += text;
    }

    // Bytes outside escapes and \' escapes are in the ANSI code page; Windows-1252 covers the
    // documents other desktops write, and Latin-1 stands in where that codec is missing.
    void flush()
    {
        if (m_bytes.isEmpty())
            return;
        QStringDecoder decoder("windows-1252");
        m_text += decoder.isValid() ? decoder.decode(m_bytes) : QString::fromLatin1(m_bytes);
        m_bytes.clear();
    }

    const QByteArray &m_rtf;
    qsizetype m_pos = 0;
    QByteArray m_bytes;
    QString m_text;
};

} // namespace

std::optional<QString> rtfPlainText(const QByteArray &rtf)
{
    if (!rtf.trimmed().startsWith("{\\rtf"))
        return std::nullopt;
    return Reader(rtf).run();
}
