#include "copy/collect_trace.h"

#include "copy/texts.h"
#include "quillkit/console_text.h"
#include "quillkit/diagnostics.h"
#include "quillkit/shown_name.h"
#include "quillkit/texts.h"

namespace copy {

void CollectTrace::line(const std::string& text) {
  console_ << quillkit::shownName(text) << std::endl;
}

void CollectTrace::inputs(const std::string& source, const CollectPlan& plan,
                          const std::string& currentDirectory, bool forceWrite) {
  line(texts::kTraceStart);
  line(texts::kTraceSource + source);
  line(texts::kTraceCollected + plan.pattern());
  line(texts::kTraceDestination + plan.destination());
  line(texts::kTraceCollected + plan.destinationDirectory());
  line(texts::kTraceCurrentDir + currentDirectory);
  line(texts::kTraceCollected + plan.sourceDirectory());
  // From here on the console writes every bool as a word.
  console_ << texts::kTraceForceWrite << std::boolalpha << forceWrite << std::endl;
  console_ << std::endl;
  line(texts::kTraceResetArgs);
  line(texts::kTraceResetArg1 + plan.pattern());
  line(texts::kTraceResetArg2 + plan.sourceDirectory());
  line(texts::kTraceResetDone);
}

void CollectTrace::unreadable(const std::string& folder, std::string errorText) {
  if (errorText.empty()) return;
  const std::string prefix = quillkit::texts::kErrorMessagePrefix;
  if (errorText.compare(0, prefix.size(), prefix) == 0) errorText.erase(0, prefix.size());
  while (!errorText.empty() && (errorText.back() == '\n' || errorText.back() == '\r'))
    errorText.pop_back();
  errors_ << texts::kCannotRead << quillkit::shownName(folder) << texts::kCannotReadReason
          << errorText << std::endl;
}

void CollectTrace::found(const CollectPlan& plan) {
  line(texts::kTraceFindDone);
  console_ << std::endl;
  line(texts::kTraceCopyTo + plan.destination());
  line(texts::kTraceCopyToCollected + plan.destinationDirectory());
}

void CollectTrace::turn(const TurnOutcome& outcome, bool forceWrite) {
  using Kind = TurnOutcome::Kind;
  const std::string& destinationPath = outcome.planned.destination;
  nameLine(texts::kTraceCopyDest, destinationPath);
  if (outcome.kind == Kind::Copied)
    nameLine(texts::kTraceCopy, destinationPath, texts::kTraceCopySucceeded);
  if (outcome.kind == Kind::Failed || outcome.triedFirst)
    nameLine(texts::kTraceCopy, destinationPath, texts::kTraceCopyFailed);
  if (outcome.kind == Kind::Existed) {
    copyCall(destinationPath, outcome.planned.source, false);
    console_ << quillkit::consoleText(texts::kTraceExists) << '\n'
             << quillkit::consoleText(texts::kTraceUseForceWrite) << '\n';
  }
  if (outcome.kind == Kind::Failed) {
    copyCall(destinationPath, outcome.planned.source, forceWrite);
    quillkit::debugPrintf("%s", outcome.errorText.c_str());
    console_ << texts::kTraceLastError << outcome.errorText << '\n';
  }
  console_ << std::flush;
}

void CollectTrace::skipped(const std::string& path, const std::string& errorText) {
  console_ << quillkit::shownName(texts::kTraceFindSkipped + path +
                                  texts::kTraceFindSkippedReason)
           << errorText << std::endl;
}

void CollectTrace::nameLine(const char* before, const std::string& name, const char* after) {
  line_.assign(before);
  quillkit::appendShownName(line_, name);
  line_.append(after).push_back('\n');
  console_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
}

void CollectTrace::copyCall(const std::string& destinationPath, const std::string& source,
                            bool forceWrite) {
  console_ << texts::kTraceCopyCall << quillkit::shownName(destinationPath)
           << texts::kTraceCopyCallSeparator << quillkit::shownName(source)
           << texts::kTraceCopyCallSeparator << forceWrite << texts::kTraceCopyCallEnd << '\n';
}

}  // namespace copy
