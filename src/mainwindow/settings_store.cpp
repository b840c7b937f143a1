#include "mainwindow/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include "files/file_io.h"

#include "model/band.h"
#include "model/decimal_text.h"

namespace zrk6 {

namespace {

// Three levels: "SoftWare", a level named by one blank, "ZR-K6".
const QStringList &KeyPath()
{
    static const QStringList path{QStringLiteral("SoftWare"), QStringLiteral(" "), QStringLiteral("ZR-K6")};
    return path;
}

void EnterKey(QSettings &settings)
{
    for (const QString &level : KeyPath())
        settings.beginGroup(level);
}

// The stored name that matches valueName without regard to case, or an empty text.
QString FindValueName(const QSettings &settings, const QString &valueName)
{
    const QStringList keys = settings.childKeys();
    for (const QString &key : keys) {
        if (key.compare(valueName, Qt::CaseInsensitive) == 0)
            return key;
    }
    return {};
}

// The leading number of a stored text rounded to a whole number (halfway to even), or
// nullopt-like -1 for a negative value.
long long LeadingWholeNumber(const QString &text)
{
    const std::string utf8 = text.toStdString();
    const DecimalValue value = LeadingNumber(utf8, true);
    if (value.negative)
        return -1;
    return RoundDiv(value, DecimalValue::kScale, Tie::Even);
}

// Far above the three short values; a larger file is not ours.
constexpr qint64 kMaxSettingsFileSize = 1024 * 1024;

} // namespace

SettingsStore::SettingsStore(QString filePath) : filePath_(std::move(filePath)) {}

QString SettingsStore::DefaultFilePath()
{
    const QString overrideDir = qEnvironmentVariable("ZRK6_SETTINGS_DIR");
    const QString dir = overrideDir.isEmpty()
                            ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/zrk6")
                            : overrideDir;
    return QDir(dir).filePath(QStringLiteral("zrk6.ini"));
}

QString SettingsStore::GetRegValue(const QString &valueName) const
{
    // A pipe in place of the file would block QSettings for good.
    if (IsNonRegularFile(filePath_))
        return {};
    QSettings settings(filePath_, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return {};
    EnterKey(settings);
    const QString name = FindValueName(settings, valueName);
    if (name.isEmpty())
        return {};
    const QVariant value = settings.value(name);
    // An INI line with commas reads back as a list; the stored text is the whole line.
    QString text = value.typeId() == QMetaType::QStringList ? value.toStringList().join(QLatin1Char(','))
                                                            : value.toString();
    const qsizetype zero = text.indexOf(QChar(0));
    if (zero >= 0)
        text.truncate(zero);
    return text;
}

bool SettingsStore::SaveRegValue(const QString &valueName, const QString &text)
{
    if (IsNonRegularFile(filePath_))
        return false;
    const FileReadResult current = ReadWholeFile(filePath_, kMaxSettingsFileSize);
    if (!current.ok() && QFileInfo::exists(filePath_))
        return false;
    // QSettings saves through QSaveFile without noticing a full disk, which would replace the
    // settings with an empty file. It edits a copy in a private folder instead; the result is
    // read back from a second copy it has never seen (it would answer from its cache) and then
    // saved over the real file by the checked path.
    QTemporaryDir stage;
    const QString copy = stage.filePath(QStringLiteral("edit.ini"));
    if (!stage.isValid() || !SaveFileAtomically(copy, current.bytes).isEmpty())
        return false;
    const QString stored = text.isEmpty() ? QStringLiteral(" ") : text;
    {
        QSettings settings(copy, QSettings::IniFormat);
        EnterKey(settings);
        // One value per name whatever its case: drop a stored spelling that differs.
        for (QString existing = FindValueName(settings, valueName); !existing.isEmpty();
             existing = FindValueName(settings, valueName)) {
            settings.remove(existing);
        }
        settings.setValue(valueName, stored);
        settings.endGroup();
        settings.endGroup();
        settings.endGroup();
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return false;
    }
    const FileReadResult edited = ReadWholeFile(copy, kMaxSettingsFileSize);
    const QString check = stage.filePath(QStringLiteral("check.ini"));
    if (!edited.ok() || !SaveFileAtomically(check, edited.bytes).isEmpty() ||
        SettingsStore(check).GetRegValue(valueName) != stored) {
        return false;
    }
    QDir().mkpath(QFileInfo(filePath_).absolutePath());
    return SaveFileAtomically(filePath_, edited.bytes).isEmpty();
}

int BandVariantFromSetting(const QString &text)
{
    if (text.isEmpty())
        return kDefaultBandVariant;
    const long long x = LeadingWholeNumber(text);
    return x >= 238 && x <= 247 ? static_cast<int>(x) : kDefaultBandVariant;
}

LanguageMode LanguageFromSetting(const QString &text)
{
    if (text.isEmpty())
        return kEnglish;
    const long long x = LeadingWholeNumber(text);
    return x == kChinese ? kChinese : kEnglish;
}

ChosenPortSetting LoadChosenPort(const SettingsStore &settings)
{
    ChosenPortSetting port;
    port.name = settings.GetRegValue(QStringLiteral("CommPort")).trimmed();
    const QStringList ids = settings.GetRegValue(QStringLiteral("CommPortAdapter")).trimmed().split(QLatin1Char(':'));
    bool vendorOk = false;
    bool productOk = false;
    const int vendor = ids.size() == 2 ? ids[0].toInt(&vendorOk, 16) : -1;
    const int product = ids.size() == 2 ? ids[1].toInt(&productOk, 16) : -1;
    // A damaged value is as good as none: nothing is compared then.
    if (vendorOk && productOk && vendor >= 0 && vendor <= 0xFFFF && product >= 0 && product <= 0xFFFF) {
        port.adapter.vendorId = vendor;
        port.adapter.productId = product;
        port.adapter.serialNumber = settings.GetRegValue(QStringLiteral("CommPortSerial")).trimmed();
    }
    return port;
}

bool SaveChosenPort(SettingsStore &settings, const ChosenPortSetting &port)
{
    const PortIdentity &adapter = port.adapter;
    return settings.SaveRegValue(QStringLiteral("CommPort"), port.name) &&
           settings.SaveRegValue(QStringLiteral("CommPortAdapter"), adapter.usbIds()) &&
           settings.SaveRegValue(QStringLiteral("CommPortSerial"), adapter.isKnown() ? adapter.serialNumber : QString());
}

} // namespace zrk6
