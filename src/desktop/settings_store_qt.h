// The settings store of the desktop program: QSettings("Brenmark", "Yorbel"), which is
// the registry key "\SOFTWARE\Brenmark\Yorbel" on Windows and
// ~/.config/Brenmark/Yorbel.conf on Linux.
#pragma once

#include <QSettings>
#include <QString>

#include "app/settings.h"

namespace yorbel::app {

class QtSettingsStore final : public SettingsStore {
  public:
    // The program's own settings.
    QtSettingsStore();
    // An ini file at `path`, for trying the store out without touching the user's.
    explicit QtSettingsStore(const QString& path);

    bool KeyExists() const override;
    bool CreateKey() override;
    StoredValue<std::string> ReadString(std::string_view name) const override;
    StoredValue<std::int32_t> ReadInt(std::string_view name) const override;
    StoredValue<double> ReadReal(std::string_view name) const override;
    bool WriteString(std::string_view name, std::string_view value) override;
    bool WriteInt(std::string_view name, std::int32_t value) override;
    bool WriteReal(std::string_view name, double value) override;

  private:
    bool Write(std::string_view name, const QVariant& value);

    mutable QSettings settings_;
};

}  // namespace yorbel::app
