#pragma once

#include <QString>
#include <QStringList>

// Where a setting lives. The preferences are kept under the application name older versions
// used, the window's geometry under the program's own name (on Windows a registry key of that
// name, which GeometryStore opens without Qt).
enum class SettingsGroup {
    Style,      // the start style: groups "Container", "Badge" and "Canvas" (in the keys)
    Path,       // the last folders of the file and folder choices
    IconSize,   // the icon file's entries a new document starts with
    ExportSize, // the PNG sizes a new document starts with, one numbered key each
    Recent,     // the File menu's recent projects
    Window,     // the window's position and size
};

// The stored values a reader asks for by name; those of the style it takes as a group.
enum class SettingKey {
    StyleField,
    IconFolder,
    PngFolder,
    IconSizes,
    SharpSizes,
    ExportSizeCount,
    ExportSizeRow, // "exportSize" and the row's number
    RecentProjects,
    Geometry, // GeometryStore's names, the same in the registry
};

// One stored value: where, its key, what it reads as when missing or unusable, and who reads it.
struct StoredSetting {
    SettingsGroup group;
    SettingKey name;
    const char* key;
    const char* start;
    const char* readBy;
};

// The one table of everything the application stores between runs. Stored names never change:
// the settings of existing users must still read.
namespace StoredSettings {

inline constexpr StoredSetting table[] = {
    {SettingsGroup::Style, SettingKey::StyleField, "Container/shape", "IconStyle's start value",
     "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Container/radius", "IconStyle's start value",
     "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Container/useBackground",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Container/backStyle", "IconStyle's start value",
     "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Container/backOrientation",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Container/backColor1",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Container/backColor2",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Container/useBack3dEffect",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Container/useBorder", "IconStyle's start value",
     "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Container/borderColor",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Container/borderWidth",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Container/useGlossy", "IconStyle's start value",
     "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Container/clipImage", "IconStyle's start value",
     "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Badge/useBadge", "IconStyle's start value",
     "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Badge/badgeText", "IconStyle's start value",
     "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Badge/badgeTextColor",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Badge/badgeTextSize", "IconStyle's start value",
     "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Badge/badgeTextFont", "IconStyle's start value",
     "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Badge/badgeBackColor",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Badge/badgeBorderColor",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Badge/badgeLineWidth",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Badge/badgeOrientation",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Badge/badgeOrientationHorizontal",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Badge/badgeOrientationDiagonal",
     "IconStyle's start value", "StyleStore"},
    {SettingsGroup::Style, SettingKey::StyleField, "Canvas/canvasSize", "IconStyle's start value",
     "StyleStore"},
    {SettingsGroup::Path, SettingKey::IconFolder, "folderPathIcon", "the home folder",
     "ExportQuestions"},
    {SettingsGroup::Path, SettingKey::PngFolder, "folderPathPNG", "the Documents folder",
     "ExportQuestions"},
    {SettingsGroup::IconSize, SettingKey::IconSizes, "sizes",
     "none: the canvas size's default entries", "IconSizes"},
    {SettingsGroup::IconSize, SettingKey::SharpSizes, "sharp", "false", "IconSizes"},
    {SettingsGroup::ExportSize, SettingKey::ExportSizeCount, "exportSizeCount",
     "0: 16, 32, 48 and 256", "ResolutionList"},
    {SettingsGroup::ExportSize, SettingKey::ExportSizeRow, "exportSize%1", "0: left out",
     "ResolutionList"},
    {SettingsGroup::Recent, SettingKey::RecentProjects, "projects", "none", "RecentProjects"},
    {SettingsGroup::Window, SettingKey::Geometry, "posX", "centred on the screen",
     "WindowGeometry"},
    {SettingsGroup::Window, SettingKey::Geometry, "posY", "centred on the screen",
     "WindowGeometry"},
    {SettingsGroup::Window, SettingKey::Geometry, "width", "the window's own size",
     "WindowGeometry"},
    {SettingsGroup::Window, SettingKey::Geometry, "height", "the window's own size",
     "WindowGeometry"},
};

inline constexpr char organisation[] = "Kestrelby";

// The application name of the store `group` is in: "Glimmerdock" for the window, "Brasswick"
// for the rest.
QString application(SettingsGroup group);

// The group's section of its store ("Path", "IconSize", "ExportSize", "Recent"); none for the
// style, whose keys carry their sections, and for the window.
QString section(SettingsGroup group);

// The key of `name` in its group; "exportSize%1" for ExportSizeRow, numbered with arg().
QString key(SettingKey name);

// The keys of `group`, in table order.
QStringList keys(SettingsGroup group);

// The folder, below the system's folder for application data, of what the program keeps beside
// its settings (a crash's unsaved changes): "Kestrelby/Glimmerdock".
QString dataFolder();

} // namespace StoredSettings
