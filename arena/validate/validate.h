#pragma once

namespace arena::validate {

// `arena validate`: loads a plug-in library and attacks it before users do.

// Runs the validator with the words after "validate" (argv[0] is "validate"). Returns the exit status.
int validateMain(int argc, char** argv);

// In this program run again as one of the validator's children (Windows): runs the piece of a
// check (or the arena's trial load) it was started for, then ends the process. Returns at once in
// any other process.
void runValidatorChild();

} // namespace arena::validate
