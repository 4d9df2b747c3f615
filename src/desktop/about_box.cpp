#include "desktop/about_box.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "data/table_file.h"
#include "desktop/tool_icons.h"
#include "exchange/ical_import.h"
#include "ui/app_context.h"

#ifndef YORBEL_VERSION
#define YORBEL_VERSION "unknown"
#endif
#ifndef YORBEL_HOMEPAGE
#define YORBEL_HOMEPAGE ""
#endif
#ifndef YORBEL_COPYRIGHT
#define YORBEL_COPYRIGHT ""
#endif
#ifndef YORBEL_LICENSE
#define YORBEL_LICENSE ""
#endif

namespace yorbel::gui {

namespace {

constexpr std::string_view kAbout = "FrmAbout";

QLabel* AddLabel(QVBoxLayout* layout, const char* name, const QString& text) {
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    return label;
}

}  // namespace

QString HomepageAddress() {
    return QStringLiteral(YORBEL_HOMEPAGE);
}

AboutBox::AboutBox(AppContext& context, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(context.Text(kAbout, "Caption"));

    auto* icon = new QLabel;
    icon->setPixmap(MakeToolIcon(ToolIcon::App).pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QVBoxLayout;
    auto* name = AddLabel(text, "lbName", QStringLiteral("Yorbel"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    AddLabel(text, "lbVersion",
             context.Text(kAbout, "lbVersion").arg(QStringLiteral(YORBEL_VERSION)));
    AddLabel(text, "lbCopyright", QStringLiteral(YORBEL_COPYRIGHT));
    AddLabel(text, "lbLicence",
             context.Text(kAbout, "lbLicence").arg(QStringLiteral(YORBEL_LICENSE)));
    AddLabel(
        text, "lbLibraries",
        context.Text(kAbout, "lbLibraries")
            .arg(QString::fromLatin1(qVersion()), QString::fromStdString(data::SqliteVersion()),
                 QString::fromStdString(exchange::IcalLibraryVersion())));
    AddLabel(text, "lbCityData", context.Text(kAbout, "lbCityData"));
    if (const QString homepage = HomepageAddress(); !homepage.isEmpty()) {
        QLabel* link = AddLabel(
            text, "lbHomepage",
            QStringLiteral("<a href=\"%1\">%2</a>")
                .arg(homepage.toHtmlEscaped(), context.Text(kAbout, "lbHomepage").toHtmlEscaped()));
        link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        connect(link, &QLabel::linkActivated, this,
                [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); });
    }

    text->addStretch(1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setText(context.Text(kAbout, "btnOk"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

}  // namespace yorbel::gui
