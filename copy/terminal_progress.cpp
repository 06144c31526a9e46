#include "copy/terminal_progress.h"

#include <chrono>
#include <cstdio>
#include <iterator>

#include "copy/texts.h"

namespace copy {

namespace {

/// How long the progress line stands before it is drawn again, in seconds.
constexpr double kRedrawInterval = 0.2;

/// "h:mm:ss", up to 99:59:59; kUnknownTime for a negative value.
std::string shownTime(double seconds) {
  if (seconds < 0) return copy::texts::kUnknownTime;
  const unsigned long long whole =
      seconds >= 360000 ? 359999 : static_cast<unsigned long long>(seconds);
  char text[64];
  std::snprintf(text, sizeof text, copy::texts::kTime, whole / 3600, whole / 60 % 60,
                whole % 60);
  return text;
}

}  // namespace

std::string shownBytes(uint64_t bytes) {
  char text[64];
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, copy::texts::kBytes,
                  static_cast<unsigned long long>(bytes));
    return text;
  }
  double value = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  // Rounded to one decimal, a value from 1023.95 on would show as 1024.0.
  while (value >= 1023.95 && unit + 1 < std::size(copy::texts::kByteUnits)) {
    value /= 1024;
    ++unit;
  }
  std::snprintf(text, sizeof text, copy::texts::kBytesInUnit, value,
                copy::texts::kByteUnits[unit]);
  return text;
}

std::string progressLine(const CollectTally& tally, double seconds) {
  const std::string files = std::to_string(tally.done()) + "/" + std::to_string(tally.found);
  const double rate = seconds > 0 ? static_cast<double>(tally.bytes) / seconds : 0;
  const double left = tally.done() == 0 ? -1
                                        : seconds / static_cast<double>(tally.done()) *
                                              static_cast<double>(tally.found - tally.done());
  char text[128];
  std::snprintf(text, sizeof text, copy::texts::kProgress, files.c_str(),
                shownBytes(tally.bytes).c_str(),
                shownBytes(static_cast<uint64_t>(rate)).c_str(), shownTime(left).c_str());
  return text;
}

std::string outcomeLine(const CollectTally& tally, double seconds) {
  char text[160];
  std::snprintf(
      text, sizeof text, copy::texts::kOutcome, static_cast<unsigned long long>(tally.copied),
      static_cast<unsigned long long>(tally.existed),
      static_cast<unsigned long long>(tally.failed),
      static_cast<unsigned long long>(tally.skipped), shownBytes(tally.bytes).c_str(), seconds);
  return text;
}

double TerminalProgress::steadySeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

TerminalProgress::TerminalProgress(std::ostream& terminal, bool showProgress, Clock clock)
    : terminal_(terminal), showProgress_(showProgress), clock_(clock), start_(clock_()) {}

void TerminalProgress::walked(const CollectTally& tally) {
  copyStart_ = clock_();
  if (showProgress_ && tally.found > 0) draw(tally, copyStart_);
}

void TerminalProgress::turnTaken(const CollectTally& tally) {
  if (!showProgress_) return;
  const double now = clock_();
  if (now - drawnAt_ >= kRedrawInterval) draw(tally, now);
}

void TerminalProgress::finished(const CollectTally& tally) {
  std::string text;
  // The line is overwritten with blanks, so that the cursor is back where it began.
  if (drawnWidth_ > 0) text = "\r" + std::string(drawnWidth_, ' ') + "\r";
  text += outcomeLine(tally, clock_() - start_) + "\n";
  terminal_ << text << std::flush;
  drawnWidth_ = 0;
}

void TerminalProgress::draw(const CollectTally& tally, double now) {
  const std::string line = progressLine(tally, now - copyStart_);
  // One write: a line drawn in pieces could show half of it.
  terminal_ << ("\r" + line) << std::flush;
  drawnAt_ = now;
  drawnWidth_ = line.size();
}

}  // namespace copy
