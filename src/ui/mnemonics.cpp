#include "ui/mnemonics.h"

#include <QAction>
#include <QList>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QString>

namespace yorbel::gui {
namespace {

// The letter a text marks with a single '&', or a null character when it marks none.
QChar MarkedLetter(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] == u'&') {
            ++i;  // "&&" is a literal ampersand
            continue;
        }
        return text[i + 1].toLower();
    }
    return QChar();
}

// Index of the letter to mark: the first free word start, else the first free letter, or
// -1 when every letter of the text is taken.
qsizetype FreeLetter(const QString& text, const QSet<QChar>& taken) {
    for (int pass = 0; pass < 2; ++pass) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (!c.isLetterOrNumber() || taken.contains(c.toLower())) continue;
            const bool word_start = i == 0 || !text[i - 1].isLetterOrNumber();
            if (pass == 1 || word_start) return i;
        }
    }
    return -1;
}

void Give(const QList<QAction*>& actions, bool bar) {
    QSet<QChar> taken;
    QList<QAction*> unmarked;
    for (QAction* action : actions) {
        if (action->isSeparator() || action->text().isEmpty()) continue;
        if (!bar && !action->isVisible()) continue;
        const QChar letter = MarkedLetter(action->text());
        if (letter.isNull())
            unmarked.append(action);
        else
            taken.insert(letter);
    }
    for (QAction* action : unmarked) {
        QString text = action->text();
        const qsizetype at = FreeLetter(text, taken);
        if (at < 0) continue;
        taken.insert(text[at].toLower());
        text.insert(at, u'&');
        action->setText(text);
    }
}

}  // namespace

void GiveMnemonics(QMenuBar& bar) {
    Give(bar.actions(), true);
}

void GiveMnemonics(QMenu& menu) {
    Give(menu.actions(), false);
}

void KeepMnemonics(QMenu& menu) {
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&menu] { GiveMnemonics(menu); });
}

QString MenuLiteral(const QString& text) {
    QString literal = text;
    return literal.replace(u'&', QStringLiteral("&&"));
}

}  // namespace yorbel::gui
