// The program's entry: the whole game runs from game_main and never returns.
#include "game/game.h"

int main(int argc, char** argv) { game_main(argc, argv); }
