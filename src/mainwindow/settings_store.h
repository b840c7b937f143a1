#pragma once

#include <QString>

#include "link/port_names.h"
#include "text/text_table.h"

namespace zrk6 {

// The persisted settings: three string values under the key path "SoftWare\ \ZR-K6",
// kept by QSettings in an INI file. Value names are compared without regard to case,
// as the registry of the original program did.
class SettingsStore {
public:
    // The INI file the settings live in.
    explicit SettingsStore(QString filePath);

    // The settings file in the user's configuration location, or in the directory named by
    // the environment variable ZRK6_SETTINGS_DIR when it is set.
    static QString DefaultFilePath();

    const QString &filePath() const { return filePath_; }

    // The stored text of a value, or the empty text when the key or value is missing.
    QString GetRegValue(const QString &valueName) const;
    // Stores a text value (an empty text is stored as one blank). False when the store
    // cannot be written.
    bool SaveRegValue(const QString &valueName, const QString &text);

private:
    QString filePath_;
};

// The band variant byte for a stored "LastFreq" text: the leading number, rounded, when it
// lies in 238..247, otherwise 240.
int BandVariantFromSetting(const QString &text);

// The language for a stored "Language" text: the leading number, rounded; anything other
// than 1 is English.
LanguageMode LanguageFromSetting(const QString &text);

// The port chosen in Setup, Communication Port, as the settings keep it: "CommPort" (its system
// name), "CommPortAdapter" ("0403:6001") and "CommPortSerial". Settings without them give an
// empty name (port 1, as at every start before); a name without the adapter, an unknown one.
struct ChosenPortSetting {
    QString name;
    PortIdentity adapter;
};
ChosenPortSetting LoadChosenPort(const SettingsStore &settings);
// False when the store cannot be written.
bool SaveChosenPort(SettingsStore &settings, const ChosenPortSetting &port);

} // namespace zrk6
