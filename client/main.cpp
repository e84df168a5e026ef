#include "client/ClientProgram.h"

int main(int argc, char** argv) { return tavrel::runTavrel(argc, argv); }
