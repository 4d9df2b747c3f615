// The about box: the program's icon, name and version, copyright and licence, the
// versions of Qt and SQLite in use, where the city data comes from, and the homepage.
#pragma once

#include <QDialog>
#include <QString>

namespace yorbel::gui {

struct AppContext;

// The address of the product's web page, set at build time; empty when there is none.
QString HomepageAddress();

class AboutBox : public QDialog {
    Q_OBJECT

  public:
    AboutBox(AppContext& context, QWidget* parent);
};

}  // namespace yorbel::gui
