#pragma once
// What the dravolo-cli memcard commands share: slot arguments (1-15 as the
// page shows them), the questions, and the checks on a card argument.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"

namespace dravolo::cli {

// "1" ... "15" -> 0 ... 14.
std::optional<int> ParseCardSlot(std::string_view text);

// A Yes/No question with the memory-card caption; No unless answered.
bool ConfirmCard(Context& context, std::string_view question, std::string_view caption = {});

// A card that exists and is formatted; otherwise says why.
bool UsableCard(Context& context, const std::string& path);

// A save title as the core gives it (Shift-JIS pairs kept) as the terminal shows it.
std::string TitleForTerminal(std::string title);

// "a.mcr slot 3".
std::string CardSlotName(const std::string& path, int slot);

// The verbs in their own files.
int MemcardRecover(const std::string& path, int slot, Context& context);
int MemcardCheck(const std::string& path, bool repair, Context& context);
int MemcardImportAny(const std::string& source, const std::string& dest, Context& context);
int MemcardConvert(const std::string& source, const std::string& dest, Context& context);
int MemcardExportSave(const std::string& cardPath, int slot, const std::string& out, Context& context);
int MemcardSnapshots(const std::vector<std::string>& args, Context& context);
int MemcardRestore(const std::vector<std::string>& args, Context& context);
int MemcardImportSave(const std::string& in, const std::string& cardPath, std::optional<int> slot, Context& context);

}  // namespace dravolo::cli
