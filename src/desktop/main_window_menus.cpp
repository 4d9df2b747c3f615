// The main window's lists of windows and files: Recent Files and Examples in the File
// menu, and the Window menu with its arrangements of the year windows.
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "desktop/main_window.h"
#include "desktop/window_tiling.h"
#include "ui/app_context.h"
#include "ui/mnemonics.h"
#include "yearview/year_window.h"

namespace yorbel::gui {

namespace {

constexpr std::string_view kMain = "FrmMain";

bool FollowsFont(const QMdiSubWindow& sub) {
    const QWidget* year = sub.widget();
    return year && year->minimumSize() == year->maximumSize();
}

}  // namespace

void MainWindow::FillRecentMenu() {
    mRecent_->clear();
    const std::vector<std::string> paths =
        context_.Store ? app::ReadRecentFiles(*context_.Store) : std::vector<std::string>{};
    int number = 0;
    for (const std::string& stored : paths) {
        const QString path = QString::fromStdString(stored);
        QAction* entry =
            mRecent_->addAction(QStringLiteral("&%1 %2").arg(++number).arg(MenuLiteral(path)));
        connect(entry, &QAction::triggered, this, [this, path] { OpenRecent(path); });
    }
    actions_.recentFiles->setEnabled(!paths.empty());
}

void MainWindow::FillExamplesMenu() {
    mExamples_->clear();
    const QDir examples(context_.ProgramFolder + QStringLiteral("examples"));
    const QStringList names =
        examples.entryList({QStringLiteral("*.yrb")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QString path = examples.filePath(name);
        QAction* entry = mExamples_->addAction(MenuLiteral(QFileInfo(name).completeBaseName()));
        // Examples stay as shipped: they open read-only.
        connect(entry, &QAction::triggered, this, [this, path] { OpenCalendarFile(path, true); });
    }
    actions_.examples->setEnabled(!names.isEmpty());
}

void MainWindow::OpenRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        if (context_.Store) {
            std::vector<std::string> paths = app::ReadRecentFiles(*context_.Store);
            std::erase(paths, path.toStdString());
            app::WriteRecentFiles(*context_.Store, paths);
        }
        context_.Ui->Tell(this, QMessageBox::Warning, QStringLiteral("Yorbel"),
                          context_.Text(kMain, "RecentMissing").arg(path));
        return;
    }
    OpenGuarded(path);
}

void MainWindow::RememberFile(const QString& path) {
    if (path.isEmpty() || !context_.Store) return;
    app::WriteRecentFiles(*context_.Store,
                          app::WithRecentFile(app::ReadRecentFiles(*context_.Store),
                                              QFileInfo(path).absoluteFilePath().toStdString()));
}

void MainWindow::UpdateWindowMenu() {
    mWindow_->clear();
    mWindow_->addActions({actions_.tileVertically, actions_.tileHorizontally, actions_.cascade});
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList();
    if (!windows.isEmpty()) mWindow_->addSeparator();
    int number = 0;
    for (QMdiSubWindow* sub : windows) {
        ++number;
        QString title = sub->windowTitle();
        title.replace(QStringLiteral("[*]"),
                      sub->isWindowModified() ? QStringLiteral("*") : QString());
        QAction* item = mWindow_->addAction(
            number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(MenuLiteral(title))
                        : MenuLiteral(title));
        item->setCheckable(true);
        item->setChecked(sub == mdi_->currentSubWindow());
        connect(item, &QAction::triggered, this, [this, sub] { mdi_->setActiveSubWindow(sub); });
    }
}

// A window whose size follows its font has a fixed border the size of its year: it can be
// neither maximised nor clipped by tiling. Any other keeps a sizeable border.
void MainWindow::FitFrame(QMdiSubWindow* sub) {
    constexpr Qt::WindowFlags kBorder = Qt::SubWindow | Qt::WindowTitleHint |
                                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                        Qt::WindowCloseButtonHint;
    const bool follows_font = FollowsFont(*sub);
    const Qt::WindowFlags flags = follows_font ? kBorder : kBorder | Qt::WindowMaximizeButtonHint;
    if (sub->windowFlags() != flags) {
        const bool shown = sub->isVisible();
        sub->setWindowFlags(flags);  // hides the window
        if (shown) sub->show();
    }
    sub->setMinimumSize(0, 0);
    sub->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (!follows_font) return;
    if (sub->isMaximized()) sub->showNormal();
    sub->adjustSize();
    sub->setFixedSize(sub->size());
}

void MainWindow::FitFrames() {
    for (QMdiSubWindow* sub : mdi_->subWindowList()) FitFrame(sub);
}

void MainWindow::Tile(Qt::Orientation orientation) {
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* sub : mdi_->subWindowList())
        if (!sub->isMinimized()) windows << sub;
    if (windows.isEmpty()) return;
    // Tiles start in the area's own corner, not in one scrolled out of sight.
    mdi_->horizontalScrollBar()->setValue(0);
    mdi_->verticalScrollBar()->setValue(0);
    std::vector<std::optional<QSize>> fixed_sizes;
    for (QMdiSubWindow* sub : windows) {
        sub->showNormal();
        fixed_sizes.push_back(FollowsFont(*sub) ? std::optional<QSize>(sub->size()) : std::nullopt);
    }
    const int scroll_bar = mdi_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, mdi_);
    const std::vector<QRect> rects =
        TileRects(fixed_sizes, mdi_->contentsRect().size(), scroll_bar, orientation);
    for (qsizetype i = 0; i < windows.size(); ++i)
        windows[i]->setGeometry(rects[static_cast<std::size_t>(i)]);
    ScrollIntoView(mdi_->activeSubWindow());
    if (YearWindow* active = ActiveYearWindow()) active->KeepToolWindowsOffGrid();
}

// Windows tiled at their size may reach beyond the area: the one made active (from the
// Window menu, say) is scrolled into view.
void MainWindow::ScrollIntoView(QMdiSubWindow* sub) {
    if (!sub || sub->isMaximized() || sub->isMinimized()) return;
    const QRect shown = mdi_->viewport()->rect();
    const QRect frame = sub->geometry();
    // Wholly into view when it fits; a window larger than the view shows its start.
    const auto step = [](int low, int high, int shown_low, int shown_high) {
        if (high - low > shown_high - shown_low)
            return low < shown_low || low > shown_high ? low - shown_low : 0;
        if (low < shown_low) return low - shown_low;
        return std::max(0, high - shown_high);
    };
    QScrollBar* across = mdi_->horizontalScrollBar();
    QScrollBar* down = mdi_->verticalScrollBar();
    across->setValue(across->value() +
                     step(frame.left(), frame.right(), shown.left(), shown.right()));
    down->setValue(down->value() + step(frame.top(), frame.bottom(), shown.top(), shown.bottom()));
}

// A sub-window's own menu claims keys such as Ctrl+W for its Close. Qt runs no shortcut
// that two actions of one window share, so such a key would reach neither the frame's
// command nor the sub-window: the frame's menus keep their keys, the sub-window drops them.
void MainWindow::LeaveFrameKeysToTheMenus(QMdiSubWindow* sub) const {
    const QMenu* menu = sub->systemMenu();
    if (!menu) return;
    const auto frame_key = [this](const QKeySequence& key) {
        for (const QAction* action : allActions_)
            if (action->shortcuts().contains(key)) return true;
        return false;
    };
    for (QAction* own : menu->actions()) {
        QList<QKeySequence> keys = own->shortcuts();
        if (keys.removeIf(frame_key) > 0) own->setShortcuts(keys);
    }
}

}  // namespace yorbel::gui
