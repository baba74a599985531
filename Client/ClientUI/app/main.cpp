// The program entry: no arguments, exit code 0 in every case.
#include "Program.h"

int main(int argc, char** argv) {
    return RunChatRoom(argc, argv);
}
