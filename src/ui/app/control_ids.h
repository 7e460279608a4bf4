#pragma once

class QWidget;

// The ids of the wizard's pages and controls. Each control carries its id
// (SetControlId) so that code and tests find it by id (FindControl). Ids are
// unique within one page or window, not across them.
namespace zpak::ui::ids {

// Pages, in the order they are created.
inline constexpr int kGamePathPage = 184;
inline constexpr int kGroupsPage = 103;
inline constexpr int kIniChangesPage = 151;
inline constexpr int kRequirementsPage = 180;
inline constexpr int kProductPage = 186;
inline constexpr int kPackagePage = 187;
inline constexpr int kGeneratePage = 188;
inline constexpr int kShortcutsPage = 189;

// The main window.
inline constexpr int kNext = 1047;
inline constexpr int kCancel = 2;
inline constexpr int kLogo = 1077;
inline constexpr int kBack = 1003;
inline constexpr int kSave = 1004;
inline constexpr int kFrame = 1046;
inline constexpr int kAbout = 1090;
inline constexpr int kOpen = 1091;
inline constexpr int kUndo = 1092;
inline constexpr int kRedo = 1093;
inline constexpr int kImport = 1094;

// Game folder page.
inline constexpr int kIntroText = 1000;
inline constexpr int kGamesCombo = 1074;
inline constexpr int kGamePathLabel = 1004;
inline constexpr int kGamePathEdit = 1003;
inline constexpr int kGamePathBrowse = 1005;

// Groups page and its dialogs.
inline constexpr int kGroupsTree = 1006;
inline constexpr int kCreateGroup = 1007;
inline constexpr int kAddFile = 1008;
inline constexpr int kFileOptions = 1009;
inline constexpr int kDeleteEntry = 1010;
inline constexpr int kAddWildcard = 1011;
inline constexpr int kGroupOptions = 1012;
inline constexpr int kRenameGroup = 1013;
inline constexpr int kCreateGroupName = 1010;
inline constexpr int kRenameGroupName = 1016;
inline constexpr int kGroupSelectable = 1011;
inline constexpr int kGroupVisible = 1012;
inline constexpr int kGroupRequired = 1016;
inline constexpr int kGroupSelected = 1013;
inline constexpr int kGroupCaption = 1014;
inline constexpr int kGroupDescription = 1015;
inline constexpr int kMasterFile = 1080;
inline constexpr int kDestination = 1081;
inline constexpr int kDestinationBrowse = 1082;
inline constexpr int kWildcard = 1085;
inline constexpr int kWildcardRecurse = 1088;

// INI changes page and its dialogs.
inline constexpr int kIniTree = 1032;
inline constexpr int kAddIniFile = 1021;
inline constexpr int kAddIniEntry = 1024;
inline constexpr int kRemoveIniEntry = 1022;
inline constexpr int kRemoveIniFile = 1023;
inline constexpr int kEditIni = 1025;
inline constexpr int kImportKeys = 1027;
inline constexpr int kIniFileName = 1031;
inline constexpr int kIniSection = 1076;
inline constexpr int kIniKey = 1079;
inline constexpr int kIniValue = 1041;
inline constexpr int kModifyLine = 1038;
inline constexpr int kAddNewLine = 1039;
inline constexpr int kImportFile = 1083;
inline constexpr int kIniGroup = 1084;

// Requirements page and its dialog.
inline constexpr int kRequirementsText = 1042;
inline constexpr int kAddRequirement = 1051;
inline constexpr int kRemoveRequirement = 1052;
inline constexpr int kEditRequirement = 1025;
inline constexpr int kRequirementsTree = 1056;
inline constexpr int kPresets = 1055;
inline constexpr int kRequiredProduct = 1052;
inline constexpr int kRequiredVersion = 1053;
inline constexpr int kRequiredDeveloper = 1054;
inline constexpr int kRequiredProductUrl = 1056;
inline constexpr int kRequiredVersionUrl = 1057;
inline constexpr int kRequiredDeveloperUrl = 1058;

// Product page.
inline constexpr int kProductName = 1057;
inline constexpr int kProductUrl = 1056;
inline constexpr int kSetupTitle = 1059;
inline constexpr int kReadme = 1060;
inline constexpr int kReadmeBrowse = 1061;
inline constexpr int kVersion = 1063;
inline constexpr int kVersionUrl = 1064;
inline constexpr int kDeveloper = 1065;
inline constexpr int kDeveloperUrl = 1066;

// Packaging page.
inline constexpr int kLogoEdit = 1062;
inline constexpr int kLogoBrowse = 1063;
inline constexpr int kArchive = 1011;
inline constexpr int kLicense = 1075;
inline constexpr int kInstallShortcuts = 1072;

// Shortcuts page.
inline constexpr int kParameters = 1066;
inline constexpr int kShortcutCaption = 1067;
inline constexpr int kDocumentationCaption = 1068;
inline constexpr int kWindows = 1086;
inline constexpr int kLinux = 1087;
inline constexpr int kMac = 1088;

// Generate page.
inline constexpr int kPackageChoice = 1068;
inline constexpr int kManifestChoice = 1069;
inline constexpr int kZipChoice = 1071;
inline constexpr int kCleanup = 1078;
inline constexpr int kGenerate = 1070;

// Controls that the wizard's first form did not have.
inline constexpr int kPreview = 2001;
inline constexpr int kWildcardMatchCount = 2002;
inline constexpr int kWildcardMatchList = 2003;
inline constexpr int kPreviewDiagnostics = 2010;
inline constexpr int kPreviewGroups = 2011;
inline constexpr int kPreviewTree = 2012;
inline constexpr int kImportDiagnostics = 2020;

}  // namespace zpak::ui::ids

namespace zpak::ui {

// Gives the widget its id and a readable object name (ids repeat between a
// window and its pages; names do not).
void SetControlId(QWidget* widget, int id, const char* name);
int ControlId(const QWidget* widget);
// The first descendant of `parent` that carries the id; with `directOnly`,
// only its direct children (the main window's own buttons, not its pages').
QWidget* FindControlWidget(const QWidget* parent, int id, bool directOnly = false);

template <typename Widget> Widget* FindControl(const QWidget* parent, int id, bool directOnly = false)
{
    return dynamic_cast<Widget*>(FindControlWidget(parent, id, directOnly));
}

}  // namespace zpak::ui
