#include "cli/commands.h"

namespace tessaro::cli {

int runDump(Context& ctx) {
  ctx.err << "tessaro-cli: dump is not available yet\n";
  return kFailed;
}

}  // namespace tessaro::cli
