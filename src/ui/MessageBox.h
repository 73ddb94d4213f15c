// The modal message boxes of the windows, behind one seam: a test queues the
// answer with setNextAnswer and the next box returns it without being shown.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace przenosnik {

class MessageBox
{
public:
    // Shows a modal box and returns the button that closed it. An informative
    // text, when given, is shown under the text.
    static QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                            const QString& text, QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                            const QString& informativeText = QString());

    // Test answers: the next box returns this button instead of being shown.
    // Answers queue up, each used once, in the order given.
    static void setNextAnswer(QMessageBox::StandardButton answer);
    static void clearNextAnswer();

    // What the last box was asked to show, answered by a test or not.
    struct Request
    {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QString informativeText;
    };
    static Request lastRequest();
    static int requestCount();
};

} // namespace przenosnik
