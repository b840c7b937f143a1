#include "model/app_state.h"

#include "text/text_ids.h"

namespace zrk6 {

std::string ComposeTitle(const std::string &fileName, const Band &band, LanguageMode language)
{
    std::string name = fileName;
    const auto slash = name.find_last_of("/\\");
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    return std::string(kProductName) + " (" + band.text + ") [" + std::string(LoadText(text_id::kFileName, language)) + ": " +
           name + "]";
}

} // namespace zrk6
