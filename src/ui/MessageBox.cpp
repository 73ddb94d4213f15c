#include "ui/MessageBox.h"

#include <QList>

namespace przenosnik {

namespace {
QList<QMessageBox::StandardButton> nextAnswers;
MessageBox::Request last;
int requests = 0;
} // namespace

QMessageBox::StandardButton MessageBox::show(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                             const QString& text, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton,
                                             const QString& informativeText)
{
    last = Request{icon, caption, text, buttons, defaultButton, informativeText};
    ++requests;
    if (!nextAnswers.isEmpty()) {
        return nextAnswers.takeFirst();
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(defaultButton);
    }
    if (!informativeText.isEmpty()) {
        box.setInformativeText(informativeText);
    }
    const int answer = box.exec();
    return static_cast<QMessageBox::StandardButton>(answer);
}

void MessageBox::setNextAnswer(QMessageBox::StandardButton answer)
{
    nextAnswers.append(answer);
}

void MessageBox::clearNextAnswer()
{
    nextAnswers.clear();
}

MessageBox::Request MessageBox::lastRequest()
{
    return last;
}

int MessageBox::requestCount()
{
    return requests;
}

} // namespace przenosnik
