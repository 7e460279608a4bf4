#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The forms of the values that the manifest pair and the launch scripts
// hold, read back into their parts.
namespace zpak::manifest {

// A File= or Copy= value: "(Src="Maps\A.map",          Master="Maps\B.map")".
// Values are quoted or bare; blanks around names and bare values do not count.
struct FileForm {
    std::string src;
    std::optional<std::string> master;
    std::vector<std::string> otherAttributes;  // "Flags=3", as written
};

// Nothing when the value is not a parenthesised list with a Src attribute.
std::optional<FileForm> ParseFileForm(std::string_view value);

// An Ini= or AddIni= value: "System\Player.ini,Game.Keys.F7=open FR-Canyon".
// The file runs to the first ","; section and key part at the last "."
// before the first "=".
struct IniChangeForm {
    std::string file;
    std::string section;
    std::string key;
    std::string value;
};

enum class IniChangeFault { None, OutsideSystem, NoComma, NoEquals, NoDot };

IniChangeFault ParseIniChange(std::string_view text, IniChangeForm& change);

// Moves the split of section and key to the "." before it ("A.B" and "C"
// become "A" and "B.C"); false when the section holds none.
bool SplitAtEarlierDot(IniChangeForm& change);

// What a launch script starts: its last line, after "#!/bin/sh" and an
// empty line, holds the executable, `separator` and the parameters. The
// executable is `executable` when the line starts with it and the separator,
// else the text before the first separator. Nothing when the script is not
// of that form.
struct LaunchCommand {
    std::string executable;
    std::string parameters;
};

std::optional<LaunchCommand> ParseLaunchScript(std::string_view text, std::string_view separator,
                                               std::string_view executable);

// A caption the localized manifest writes in quotes, without them; any other
// text as it is.
std::string_view Unquoted(std::string_view caption);

}  // namespace zpak::manifest
