#pragma once
// The life of one running instance: the start-up steps, the instance folder that
// holds this run's temporary files, and the clean-up at the end.

#include <string>

#include "app/commands.h"

namespace vardo {

// Before MAIN: clears the values of the run and removes the instance folders
// that earlier runs left behind (never those of instances still running).
void INIT$();
// The program: start-up, the main frame's event loop, and the exit clean-up.
// `file` and `password` come from the command line (both may be empty).
// Returns the exit code.
int MAIN(const std::string& file, const std::string& password, const Commands& commands);
// Writes the global settings file with its defaults when it does not exist.
void MKCFG();
// Sets up the instance: the NET table, the instance folder and its USER file.
void USER();
// A new instance name; two calls never return the same one.
std::string GETNEWFNAME();
// The end of the run: closes every table and removes the instance folder.
void EXIT$();

inline constexpr const char* kGlobalSettings = "VARDO!.CFG";

} // namespace vardo
