#include "frontend/memcards/memcards_page_factory.h"

#include <memory>

#include "frontend/memcards/CMemcardsPage.h"
#include "frontend/memcards/memcard_choosers.h"

namespace dravolo {

MemcardsPageMaker MakeMemcardsPageMaker(const SettingsStore& settings, Prompter& prompter, MemcardChoosers* choosers) {
    // The system's dialogs are shared by every page the maker builds.
    std::shared_ptr<MemcardChoosers> system;
    if (!choosers) system = std::make_shared<MemcardChoosers>();
    return [&settings, &prompter, choosers, system](QWidget* parent) -> CMemcardsPageBase* {
        return new CMemcardsPage(settings, prompter, choosers ? *choosers : *system, parent);
    };
}

}  // namespace dravolo
