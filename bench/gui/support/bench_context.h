// The application context the window benchmarks run on: in-memory settings, one shown
// group in a temporary group folder, English texts.
#pragma once

#include <QTemporaryDir>
#include <memory>

#include "app/settings.h"
#include "data/groups.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"

namespace yorbel::bench {

struct BenchContext {
    QTemporaryDir dir;
    std::unique_ptr<data::Groups> groups;
    app::MemorySettingsStore store;
    gui::PlatformDialogs dialogs;
    gui::AppContext context;

    BenchContext() {
        groups = std::make_unique<data::Groups>(dir.path().toStdString());
        groups->LoadGroups(true);
        data::Table& g = groups->CdsGroups();
        g.Append();
        g.SetText(data::Gp_name, "Shown");
        g.SetInteger(data::Gp_color, 0x00A000);
        g.SetBoolean(data::Gp_free, false);
        g.SetInteger(data::Gp_show, 1);
        g.Post();
        context.ProgramFolder = QStringLiteral(YORBEL_RESOURCE_DIR "/");
        context.Language = app::LanguageFile::Load(YORBEL_RESOURCE_DIR "/english.spr");
        context.Settings = app::StartSettings(store).settings;
        context.Settings.AdaptToFont = false;
        context.Store = &store;
        context.Groups = groups.get();
        context.Ui = &dialogs;
    }
};

}  // namespace yorbel::bench
