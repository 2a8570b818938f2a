// The usage lines of the Monte Carlo commands, which the program's help also prints.
#include "apps/montecarlo/command.h"

namespace app {

std::string montecarlo_usage() {
    return "usage: vesselsim montecarlo SCENARIO --runs N [--seed S] [--jobs J] [--shard K/N] "
           "[--csv FILE [--resume]] [--plot FILE.png] [--modules DIR[:DIR...]]... [dispersion "
           "options] [--vessel NAME] [criteria options] [--max-sim-time S] [--max-wall-time S] "
           "[--max-memory MB] [--max-step S] [--contact-step S]";
}

std::string montecarlo_merge_usage() {
    return "usage: vesselsim montecarlo-merge CSV... [--csv FILE] [--plot FILE.png]";
}

}  // namespace app
