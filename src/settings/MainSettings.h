// The options of the main window as kept in section MAIN of PRZENOSN.INI, read
// into the options of a conversion run by the same rules the window uses. The
// command-line converter starts from them.
#pragma once

#include "conversion/ConversionRun.h"
#include "settings/StoredValue.h"

#include <QString>
#include <QStringList>

namespace przenosnik {

class SettingsStore;

inline constexpr const char* kMainSettingsFile = "PRZENOSN.INI";
inline constexpr const char* kMainSettingsSection = "MAIN";

// The keys of the main window's stored values, in the order they are restored and saved.
namespace mainkeys {
inline constexpr const char* kRb852 = "RB_852_Checked";
inline constexpr const char* kRbMaz = "RB_MAZ_Checked";
inline constexpr const char* kExportFile = "FE_EPP_Text";
inline constexpr const char* kAttribute = "Edit_Atrybut_Text";
inline constexpr const char* kDescription = "Edit_OPIS_Text";
inline constexpr const char* kRegister = "Edit_REJ_Text";
inline constexpr const char* kPostalCode = "chb_kod_Checked";
inline constexpr const char* kCompanyDirectory = "de_KPR_Text";
inline constexpr const char* kSym2006 = "chb_Sym2006_Checked";
inline constexpr const char* kAlwaysDescription = "chb_def_opis_Checked";
inline constexpr const char* kSzablon31 = "chb_Szablon31_Checked";
inline constexpr const char* kDuplicates = "chb_duplikaty_Checked";
} // namespace mainkeys

QStringList mainSettingKeys();

// The stored-value list of the main window bound to run options instead of
// controls. The two radio keys behave like the radio buttons: "852" checked
// clears "MAZ", "MAZ" alone decides the encoding, so when both are TRUE the
// later one, "MAZ", wins.
StoredValueList mainStoredValues(ConversionSettings& settings);

// Applies section MAIN of the store onto settings; keys that are missing or
// cannot be converted leave their option as it is.
void applyMainSettings(const SettingsStore& store, ConversionSettings& settings);

// Reads the settings file at path (the whole path counts) without ever writing
// it, and applies its section MAIN. Returns false when the file cannot be read;
// settings are then unchanged.
bool loadMainSettingsFile(const QString& path, ConversionSettings& settings);

} // namespace przenosnik
