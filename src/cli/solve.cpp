#include "cli/commands.h"

namespace tessaro::cli {

int runSolve(Context& ctx) {
  ctx.err << "tessaro-cli: solve is not available yet\n";
  return kFailed;
}

}  // namespace tessaro::cli
