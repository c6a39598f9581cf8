#include "app/run.h"

int main() { return zrn::run_program(); }
