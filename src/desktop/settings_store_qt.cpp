#include "desktop/settings_store_qt.h"

#include <QByteArray>
#include <QVariant>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>
#include <optional>
#include <system_error>
#include <utility>

namespace yorbel::app {

namespace {

QString Name(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

bool FitsInt32(qlonglong n) {
    return n >= std::numeric_limits<std::int32_t>::min() &&
           n <= std::numeric_limits<std::int32_t>::max();
}

// A real as an older program stored it: exactly 8 bytes of a little-endian IEEE double.
std::optional<double> RealFromBytes(const QByteArray& bytes) {
    if (bytes.size() != 8) return std::nullopt;
    unsigned char raw[8];
    std::memcpy(raw, bytes.constData(), 8);
    if constexpr (std::endian::native == std::endian::big) {
        for (int i = 0; i < 4; ++i) std::swap(raw[i], raw[7 - i]);
    }
    double value = 0;
    std::memcpy(&value, raw, 8);
    return value;
}

}  // namespace

QtSettingsStore::QtSettingsStore()
    : settings_(QStringLiteral("Brenmark"), QStringLiteral("Yorbel")) {}

QtSettingsStore::QtSettingsStore(const QString& path) : settings_(path, QSettings::IniFormat) {}

bool QtSettingsStore::KeyExists() const {
    // An empty key is as good as none: the first-run values are written into it.
    return !settings_.allKeys().isEmpty();
}

bool QtSettingsStore::CreateKey() {
    return settings_.isWritable();
}

StoredValue<std::string> QtSettingsStore::ReadString(std::string_view name) const {
    const QVariant v = settings_.value(Name(name));
    if (!v.isValid()) return {ReadStatus::Missing, {}};
    // Text-based backends hand back every value as text, so only a value that is
    // plainly something else (a list, bytes) is of the wrong kind.
    switch (v.typeId()) {
        case QMetaType::QString:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
            return {ReadStatus::Ok, v.toString().toStdString()};
        default:
            return {ReadStatus::WrongKind, {}};
    }
}

StoredValue<std::int32_t> QtSettingsStore::ReadInt(std::string_view name) const {
    const QVariant v = settings_.value(Name(name));
    if (!v.isValid()) return {ReadStatus::Missing, 0};
    switch (v.typeId()) {
        case QMetaType::Bool:
            return {ReadStatus::Ok, v.toBool() ? 1 : 0};
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::QString: {
            bool ok = false;
            const qlonglong n = v.typeId() == QMetaType::QString
                                    ? v.toString().trimmed().toLongLong(&ok)
                                    : v.toLongLong(&ok);
            if (!ok) return {ReadStatus::WrongKind, 0};
            if (FitsInt32(n)) return {ReadStatus::Ok, static_cast<std::int32_t>(n)};
            // Registry numbers are 32-bit words: a colour such as 0x80000005 may come
            // back unsigned and is taken as the same 32 bits.
            if (n > 0 && n <= std::numeric_limits<std::uint32_t>::max()) {
                return {ReadStatus::Ok, static_cast<std::int32_t>(static_cast<std::uint32_t>(n))};
            }
            return {ReadStatus::WrongKind, 0};
        }
        default:
            return {ReadStatus::WrongKind, 0};
    }
}

StoredValue<double> QtSettingsStore::ReadReal(std::string_view name) const {
    const QVariant v = settings_.value(Name(name));
    if (!v.isValid()) return {ReadStatus::Missing, 0};
    switch (v.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::LongLong:
            return {ReadStatus::Ok, v.toDouble()};
        case QMetaType::QByteArray:
            if (const auto real = RealFromBytes(v.toByteArray())) return {ReadStatus::Ok, *real};
            return {ReadStatus::WrongKind, 0};
        case QMetaType::QString: {
            // Written by WriteReal in the shortest form that reads back exactly, with
            // '.' whatever the user's locale.
            const QByteArray text = v.toString().trimmed().toUtf8();
            double value = 0;
            const char* end = text.constData() + text.size();
            const auto [ptr, ec] = std::from_chars(text.constData(), end, value);
            if (ec == std::errc() && ptr == end && !text.isEmpty()) return {ReadStatus::Ok, value};
            return {ReadStatus::WrongKind, 0};
        }
        default:
            return {ReadStatus::WrongKind, 0};
    }
}

bool QtSettingsStore::WriteString(std::string_view name, std::string_view value) {
    return Write(name, QString::fromUtf8(value.data(), static_cast<qsizetype>(value.size())));
}

bool QtSettingsStore::WriteInt(std::string_view name, std::int32_t value) {
    return Write(name, value);
}

bool QtSettingsStore::WriteReal(std::string_view name, double value) {
    return Write(name, QString::fromStdString(ShortestNumberText(value)));
}

bool QtSettingsStore::Write(std::string_view name, const QVariant& value) {
    settings_.setValue(Name(name), value);
    // Each write goes out at once, as the registry would take it; a store that cannot
    // be written says so here.
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

}  // namespace yorbel::app
