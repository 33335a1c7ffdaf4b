#pragma once

namespace vikora {

// Runs the program: everything between the start of main and its return.
int runApplication(int argc, char** argv);

}  // namespace vikora
