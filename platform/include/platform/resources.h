// Resource modules: the parsed contents of a resource script (dialog templates, the string
// table and the initial items of drop-down lists), and the parser that builds them.
#pragma once

#include "platform/types.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

/// \brief One control statement of a dialog template, normalised.
///
/// Every statement kind (`LTEXT`, `EDITTEXT`, `CONTROL`, ...) becomes a window class name and a
/// full style word, exactly as the original resource compiler would store it.
struct ControlTemplate {
    int id = IDC_STATIC; ///< control id; -1 for static items without id
    std::string
        className;     ///< "Button", "Edit", "Static", "ComboBox", "ListBox", "SysListView32", ...
    std::string text;  ///< initial text (UTF-8, '&' kept)
    DWORD style = 0;   ///< complete style word, WS_CHILD | WS_VISIBLE included
    DWORD exStyle = 0; ///< extended style word
    int x = 0, y = 0, cx = 0, cy = 0; ///< position and size in dialog units
    int line = 0;                     ///< line of the statement in the script, for messages
};

/// \brief The font of a dialog template.
struct FontSpec {
    int pointSize = 8;
    std::string face = "MS Sans Serif";
    int weight = 0;
    bool italic = false;
    int charset = 0;
};

/// \brief One dialog template (`DIALOG` or `DIALOGEX`).
struct DialogTemplate {
    int id = 0;
    bool extended = false;            ///< DIALOGEX
    int x = 0, y = 0, cx = 0, cy = 0; ///< dialog units
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string caption;
    FontSpec font;
    std::vector<ControlTemplate> controls; ///< in template (creation and tab) order
    int line = 0;
};

/// \brief A resource module: what one resource script defines.
struct ResourceModule {
    std::string name; ///< for messages
    std::map<int, DialogTemplate> dialogs;
    std::map<int, std::string> strings; ///< string table, UTF-8
    /// Initial items of combo boxes: dialog id -> control id -> items in order (DLGINIT).
    std::map<int, std::map<int, std::vector<std::string>>> listItems;
    std::map<std::string, long> symbols; ///< #define'd names

    const DialogTemplate* findDialog(int id) const;
    const std::string* findString(int id) const;
};

/// \brief Gives the text of an included file, or nothing when it cannot be found (an error for
///        a quoted include; an unknown `<...>` header is skipped).
using IncludeResolver = std::function<std::optional<std::string>(const std::string& name)>;

/// \brief Outcome of parsing a resource script.
struct ParseResult {
    std::shared_ptr<ResourceModule> module; ///< null on error
    std::string error;                      ///< "file:line: message" on error
    int errorLine = 0;
};

/// \brief Parses a resource script.
/// \param text the script (UTF-8; `#pragma code_page(65001)` is accepted)
/// \param fileName used in error messages
/// \param resolveInclude called for every `#include`; system headers (`<...>`) of the
///        original framework are known to the parser and need no resolver
/// \return the module, or an error naming the line
ParseResult parseResourceScript(const std::string& text, const std::string& fileName,
                                const IncludeResolver& resolveInclude = {});

/// \brief Value of a style or constant name known to the parser (WS_*, ES_*, ...), if any.
std::optional<long> knownConstant(const std::string& name);

} // namespace platform
