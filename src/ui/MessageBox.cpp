#include "ui/MessageBox.h"

#include <optional>

namespace przenosnik {

namespace {
std::optional<QMessageBox::StandardButton> nextAnswer;
MessageBox::Request last;
int requests = 0;
} // namespace

QMessageBox::StandardButton MessageBox::show(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                                             const QString& text, QMessageBox::StandardButtons buttons,
                                             QMessageBox::StandardButton defaultButton)
{
    last = Request{icon, caption, text, buttons, defaultButton};
    ++requests;
    if (nextAnswer) {
        const QMessageBox::StandardButton answer = *nextAnswer;
        nextAnswer.reset();
        return answer;
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton) {
        box.setDefaultButton(defaultButton);
    }
    const int answer = box.exec();
    return static_cast<QMessageBox::StandardButton>(answer);
}

void MessageBox::setNextAnswer(QMessageBox::StandardButton answer)
{
    nextAnswer = answer;
}

void MessageBox::clearNextAnswer()
{
    nextAnswer.reset();
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
