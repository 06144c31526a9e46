#ifndef PELQUIST_COPY_CMD_POSIX_COMMANDS_H_
#define PELQUIST_COPY_CMD_POSIX_COMMANDS_H_

#include <cstddef>
#include <vector>

#include "copy/cmd_posix/command_line.h"
#include "copy/cmd_posix/console.h"
#include "copy/files_posix/kernel_calls.h"

namespace copy::cmd {

/// Each command takes the words after its name and returns the ERRORLEVEL that
/// cmd.exe leaves: COPY and MOVE 0 or 1, XCOPY 0, 4 or 5. It works on the files through
/// `context`: one destination folder a command, held by its descriptor (XCOPY: one a
/// level).

/// COPY [/A|/B] [/V] [/Y|/-Y] source [+ source ...] [destination].
int runCopy(const std::vector<Word>& words, Console& console, const files::Context& context);
/// MOVE [/Y|/-Y] source [target].
int runMove(const std::vector<Word>& words, Console& console, const files::Context& context);
/// XCOPY source [destination] [/S] [/E] [/I] [/Q] [/F] [/Y|/-Y].
/// Its walk of the source stops after `entryLimit` entries, as collect-copy's does.
int runXcopy(const std::vector<Word>& words, Console& console, const files::Context& context,
             std::size_t entryLimit = 1010720);

}  // namespace copy::cmd

#endif  // PELQUIST_COPY_CMD_POSIX_COMMANDS_H_
