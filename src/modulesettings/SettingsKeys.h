#pragma once

#include <array>

// Every section and key of the settings file that the module uses, in one list.
//
// A key is its prefix followed by its suffix, with no separator:
//   Module: the suite's ModuleKey, for options shared by every report of the module;
//   Report: the suite's ReportKey, the current report's name (the report-condition dialog
//           writes the same keys under the name it is given);
//   Fixed:  no prefix, the suffix is the whole key.
// A numbered key appends its number in decimal ("MENU" with 3 is "MENU3").

namespace talor::keys {

enum class Scope
{
    Module,
    Report,
    Fixed
};

struct SettingsKey
{
    const char* section;
    Scope scope;
    const char* suffix;
};

// Sections.
inline constexpr const char* Talor = "TALOR";   // the module's own options
inline constexpr const char* Model8 = "MODEL8"; // shared with the template designer
inline constexpr const char* Veld = "VELD";     // shared with the employee-file module
inline constexpr const char* System = "SYSTEM"; // the suite's, read only
inline constexpr const char* Print = "PRINT";   // page set-up of the printed report, read only

// Section "TALOR", module-wide.
inline constexpr SettingsKey Table{Talor, Scope::Module,
                                   "TABLE"}; // code of the attendance table, at most 6 characters
inline constexpr SettingsKey TableCaption{Talor, Scope::Module, "CTABLE"}; // caption of that table
inline constexpr SettingsKey HideSetup{Talor, Scope::Module, "IF"};        // "YES": no set-up dialog at start
inline constexpr SettingsKey ModuleBlankZero{Talor, Scope::Module,
                                             " 0"}; // "YES": blanks for zeros (a blank, then the digit)
inline constexpr SettingsKey Restricted{
    Talor, Scope::Module, "MENU"}; // restricted commands, 2-character names run together (isRestricted)
inline constexpr SettingsKey ExternalMenu{Talor, Scope::Module,
                                          "MENU"}; // numbered 1 to 7: menu name of external module n
inline constexpr SettingsKey ExternalCaption{Talor, Scope::Module,
                                             "CAP"}; // numbered 1 to 7: toolbar caption of external module n
inline constexpr SettingsKey AbnormalColour{Talor, Scope::Module,
                                            "COLOR"}; // numbered 1 to 3: 0x00BBGGRR colour in decimal
inline constexpr SettingsKey ReportCount{Talor, Scope::Module, "nBD"}; // number of named reports
inline constexpr SettingsKey ReportName{Talor, Scope::Module,
                                        "sBD"}; // numbered from 1: name of named report n

// Section "TALOR", per report.
inline constexpr SettingsKey ReportKind{Talor, Scope::Report, "OPT"};   // report kind "1", "2" or "3"
inline constexpr SettingsKey Background{Talor, Scope::Report, "IMAGE"}; // full path of the background picture
inline constexpr SettingsKey ReportBlankZero{Talor, Scope::Report, " 0"};    // "YES": blanks for zeros
inline constexpr SettingsKey DeptCondition{Talor, Scope::Report, "BDTJ1"};   // department condition
inline constexpr SettingsKey PersonCondition{Talor, Scope::Report, "BDTJ2"}; // personal condition
inline constexpr SettingsKey ReportTemplate{Talor, Scope::Report,
                                            "REPORT"}; // numbered 1 to 3: template file of report kind n
inline constexpr SettingsKey FixedColumns{Talor, Scope::Report,
                                          "FIX"}; // number of frozen columns (absent: 2)

// Section "TALOR", without prefix.
inline constexpr SettingsKey GridRowText{Talor, Scope::Fixed,
                                         "ROW"}; // numbered 1 to 8: texts of the grid, written only

// Section "MODEL8".
inline constexpr SettingsKey DesignerModule{Model8, Scope::Fixed, "DLL"}; // "TALOR", written at every load
inline constexpr SettingsKey DesignerKind{Model8, Scope::Fixed, "OPT"};   // the current report kind
inline constexpr SettingsKey PickerChoice{Model8, Scope::Fixed,
                                          "OPTION"}; // "1", "2" or "3": the field picker's choice
inline constexpr SettingsKey PickerOnDoubleClick{Model8, Scope::Report,
                                                 "FLD"}; // "NO": double click opens no field picker

// Section "VELD".
inline constexpr SettingsKey EmployeeFileUse{Veld, Scope::Module,
                                             "-USE"}; // exactly "NO": double click opens the employee file

// Section "SYSTEM".
inline constexpr SettingsKey SupervisorPassword{System, Scope::Fixed, "GJKL"}; // the advanced password text
inline constexpr SettingsKey Connection{System, Scope::Fixed,
                                        "QZ_CONNECT"}; // read from the suite's second file (About box)

// Section "PRINT", per report, in the order the page set-up applies them.
inline constexpr SettingsKey LeftHeader{Print, Scope::Report, ".LeftHeader"};     // text
inline constexpr SettingsKey CenterHeader{Print, Scope::Report, ".CenterHeader"}; // text
inline constexpr SettingsKey RightHeader{Print, Scope::Report, ".RightHeader"};   // text
inline constexpr SettingsKey LeftFooter{Print, Scope::Report, ".LeftFooter"};     // text
inline constexpr SettingsKey CenterFooter{Print, Scope::Report,
                                          ".CenterFooter"}; // text after the organisation name
inline constexpr SettingsKey RightFooter{Print, Scope::Report, ".RightFooter"};     // text
inline constexpr SettingsKey LeftMargin{Print, Scope::Report, ".LeftMargin"};       // inches
inline constexpr SettingsKey RightMargin{Print, Scope::Report, ".RightMargin"};     // inches
inline constexpr SettingsKey TopMargin{Print, Scope::Report, ".TopMargin"};         // inches
inline constexpr SettingsKey BottomMargin{Print, Scope::Report, ".BottomMargin"};   // inches
inline constexpr SettingsKey HeaderMargin{Print, Scope::Report, ".HeaderMargin"};   // inches
inline constexpr SettingsKey FooterMargin{Print, Scope::Report, ".FooterMargin"};   // inches
inline constexpr SettingsKey PrintHeadings{Print, Scope::Report, ".PrintHeadings"}; // switch: exactly "True"
inline constexpr SettingsKey PrintGridLines{Print, Scope::Report, ".PrintGridLines"};         // switch
inline constexpr SettingsKey PrintComments{Print, Scope::Report, ".PrintComments"};           // number
inline constexpr SettingsKey PrintQuality{Print, Scope::Report, ".PrintQuality"};             // number
inline constexpr SettingsKey CenterHorizontally{Print, Scope::Report, ".CenterHorizontally"}; // switch
inline constexpr SettingsKey CenterVertically{Print, Scope::Report, ".CenterVertically"};     // switch
inline constexpr SettingsKey Orientation{Print, Scope::Report, ".Orientation"};               // number
inline constexpr SettingsKey Draft{Print, Scope::Report, ".Draft"};                           // switch
inline constexpr SettingsKey PaperSize{Print, Scope::Report, ".PaperSize"};                   // number
inline constexpr SettingsKey FirstPageNumber{Print, Scope::Report, ".FirstPageNumber"};       // number
inline constexpr SettingsKey Order{Print, Scope::Report, ".Order"};                           // number
inline constexpr SettingsKey BlackAndWhite{Print, Scope::Report, ".BlackAndWhite"};           // switch
inline constexpr SettingsKey Zoom{Print, Scope::Report, ".Zoom"};                             // number
inline constexpr SettingsKey FitToPagesWide{Print, Scope::Report, ".FitToPagesWide"};         // number
inline constexpr SettingsKey FitToPagesTall{Print, Scope::Report, ".FitToPagesTall"};         // number

// The page set-up keys in the order they are applied.
inline constexpr std::array<SettingsKey, 27> PageSetup{LeftHeader,
                                                       CenterHeader,
                                                       RightHeader,
                                                       LeftFooter,
                                                       CenterFooter,
                                                       RightFooter,
                                                       LeftMargin,
                                                       RightMargin,
                                                       TopMargin,
                                                       BottomMargin,
                                                       HeaderMargin,
                                                       FooterMargin,
                                                       PrintHeadings,
                                                       PrintGridLines,
                                                       PrintComments,
                                                       PrintQuality,
                                                       CenterHorizontally,
                                                       CenterVertically,
                                                       Orientation,
                                                       Draft,
                                                       PaperSize,
                                                       FirstPageNumber,
                                                       Order,
                                                       BlackAndWhite,
                                                       Zoom,
                                                       FitToPagesWide,
                                                       FitToPagesTall};

// How many of the numbered keys there are.
inline constexpr int ExternalModules = 7;
inline constexpr int AbnormalColours = 3;
inline constexpr int ReportKinds = 3;
inline constexpr int GridRowTexts = 8;

// A key kept per report, with how many numbers it has (0: not numbered).
struct ReportScopedKey
{
    SettingsKey key;
    int numbers = 0;
};
// Every key kept per report besides the page set-up: what a renamed report takes along to its
// new name (with PageSetup).
inline constexpr std::array<ReportScopedKey, 8> ReportSettings{{{ReportKind},
                                                                {Background},
                                                                {ReportBlankZero},
                                                                {DeptCondition},
                                                                {PersonCondition},
                                                                {ReportTemplate, ReportKinds},
                                                                {FixedColumns},
                                                                {PickerOnDoubleClick}}};

} // namespace talor::keys
