#include "ui/LimitedLineEdit.h"

#include <QValidator>

namespace przenosnik {

// Refuses an edit that makes the text longer than the limit and longer than
// it was; an edit that shortens an overlong text is accepted.
class LimitValidator : public QValidator
{
public:
    explicit LimitValidator(LimitedLineEdit* edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString& input, int& /*pos*/) const override
    {
        if (m_edit->m_storing || input.size() <= m_edit->m_limit || input.size() <= m_edit->m_lengthBefore) {
            return Acceptable;
        }
        return Invalid;
    }

private:
    LimitedLineEdit* m_edit;
};

LimitedLineEdit::LimitedLineEdit(int limit, QWidget* parent) : QLineEdit(parent), m_limit(limit)
{
    setValidator(new LimitValidator(this));
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_lengthBefore = text.size(); });
}

void LimitedLineEdit::setStoredText(const QString& text)
{
    m_storing = true;
    setText(text);
    m_storing = false;
}

} // namespace przenosnik
