// The options of the main window as kept in section MAIN of PRZENOSN.INI, read
// into the options of a conversion run by the same rules the window uses. The
// command-line converter starts from them.
#pragma once

#include "conversion/RunConversion.h"
#include "settings/StoredValue.h"

#include <QString>
#include <QStringList>

namespace przenosnik {

class SettingsStore;

inline constexpr const char* MainSettingsFile = "PRZENOSN.INI";
inline constexpr const char* MainSettingsSection = "MAIN";

// The keys of the main window's stored values, in the order they are restored and saved.
namespace mainkeys {
inline constexpr const char* Rb852 = "RB_852_Checked";
inline constexpr const char* RbMaz = "RB_MAZ_Checked";
inline constexpr const char* ExportFile = "FE_EPP_Text";
inline constexpr const char* Attribute = "Edit_Atrybut_Text";
inline constexpr const char* Description = "Edit_OPIS_Text";
inline constexpr const char* Register = "Edit_REJ_Text";
inline constexpr const char* PostalCode = "chb_kod_Checked";
inline constexpr const char* CompanyDirectory = "de_KPR_Text";
inline constexpr const char* Sym2006 = "chb_Sym2006_Checked";
inline constexpr const char* AlwaysDescription = "chb_def_opis_Checked";
inline constexpr const char* Szablon31 = "chb_Szablon31_Checked";
inline constexpr const char* Duplicates = "chb_duplikaty_Checked";
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
