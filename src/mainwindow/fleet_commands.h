#pragma once

#include <functional>

#include <QString>

namespace zrk6 {

struct AppState;
class ImageDocument;
class MainViews;
class Prompts;
class SafetyCommands;

// Program Several Radios: the fleet window with the document as the plan, on the ports the
// system lists and the device given for this run.
class FleetCommands {
public:
    // portOverride gives the device given for this run (empty for none) when asked.
    FleetCommands(const AppState &state, const ImageDocument &document, Prompts &prompts,
                  const SafetyCommands &safety, MainViews &views, std::function<QString()> portOverride);

    // Shows the fleet window modally; the document does not change.
    void programSeveralRadios();

private:
    const AppState &state_;
    const ImageDocument &document_;
    Prompts &prompts_;
    const SafetyCommands &safety_;
    MainViews &views_;
    std::function<QString()> portOverride_;
    QString logFile_; // the fleet window's log file, kept for the next time in this run
};

} // namespace zrk6
