#pragma once

#include "model/requirement_info.h"

namespace zpak {

// The mod product itself; the inherited fields describe it.
class ProductData : public RequirementInfo {
public:
    void Serialize(TextArchive& archive) override;

    // `title`, or the product name when there is no title.
    std::string GetTitle() const;
    // `archive`; when absent, "<product>.zpack2", or "mymod.zpack2" for a
    // product without a name.
    std::string GetArchiveName() const;
    // Makes the default archive name of a named product its own, so that it
    // no longer follows the product name: done where the name is shown or
    // written (the packaging page, the project file, the manifest).
    void KeepArchiveName();
    // `documentationCaption`, or "Release Notes" when it is absent or empty.
    std::string GetDocumentationCaption() const;

    std::optional<std::string> readme;
    std::optional<std::string> title;
    std::optional<std::string> archive;
    std::optional<std::string> license;
    std::optional<std::string> logo;
    std::optional<std::string> shortcut;
    std::optional<std::string> shortcutCaption;
    std::optional<std::string> documentationCaption;
    int cleanup = 0;
    int windows = 0;
    int linux = 0;
    int mac = 0;
};

}  // namespace zpak
