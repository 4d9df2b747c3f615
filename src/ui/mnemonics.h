// Underlined access letters for menus. The language files carry plain texts (a translator
// should not have to pick letters), so the letters are chosen here: Alt+F opens File, and
// a letter typed in an open menu picks its entry.
#pragma once

class QMenu;
class QMenuBar;
class QString;

namespace yorbel::gui {

// Gives each entry without an access letter the first letter of its text not yet taken in
// the same menu, word starts first. Letters a text already marks stay as they are.
void GiveMnemonics(QMenuBar& bar);
void GiveMnemonics(QMenu& menu);

// Letters are given again each time the menu opens, so entries added or renamed later
// (recent files, a new interface language) get theirs too.
void KeepMnemonics(QMenu& menu);

// A text shown in a menu as it stands: '&' in a file or window name is not an access mark.
QString MenuLiteral(const QString& text);

}  // namespace yorbel::gui
