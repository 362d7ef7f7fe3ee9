// main.cpp: tarn's entry. The command line is not interpreted.
#include "shell/startup.h"

int main() { return GameEntry(); }
