#include "app/startup.h"

int main(int argc, char** argv) {
    return fundlens::RunProgram(argc, argv);
}
