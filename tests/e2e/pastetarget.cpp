// SPDX-License-Identifier: MIT
// A window with one line of text for the end-to-end test to paste into; prints every change.
#include <QApplication>
#include <QLineEdit>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLineEdit line;
    line.setWindowTitle(QStringLiteral("paste target"));
    line.resize(400, 40);
    QObject::connect(&line, &QLineEdit::textChanged, [](const QString &text) {
        std::printf("%s\n", qPrintable(text));
        std::fflush(stdout);
    });
    line.show();
    return app.exec();
}
