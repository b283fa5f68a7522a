#pragma once
// `arena validate`: loads a plug-in library and attacks it before users do.

// Runs the validator with the words after "validate" (argv[0] is "validate"). Returns the exit status.
int validateMain(int argc, char** argv);
