#pragma once
// The bankd command line: init, serve and the administration commands.
namespace bankd::cli {

int run(int argc, char** argv);

} // namespace bankd::cli
