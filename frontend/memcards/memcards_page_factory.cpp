#include "frontend/memcards/memcards_page_factory.h"

#include <memory>

#include "frontend/memcards/CMemcardsPage.h"
#include "frontend/widgets/file_choosers.h"

namespace dravolo {

MemcardsPageMaker MakeMemcardsPageMaker(const SettingsStore& settings, Prompter& prompter, FileChoosers* choosers) {
    // The system's dialogs are shared by every page the maker builds.
    std::shared_ptr<FileChoosers> system;
    if (!choosers) system = std::make_shared<FileChoosers>();
    return [&settings, &prompter, choosers, system](QWidget* parent) -> CMemcardsPageBase* {
        return new CMemcardsPage(settings, prompter, choosers ? *choosers : *system, parent);
    };
}

}  // namespace dravolo
