#include "game/game_state.h"

namespace kraylo {

GameState StartingState(int32_t width, int32_t height, uint64_t seed) {
  GameState state{GameModel{}, SeededRandom(seed)};
  state.game.ScreenWidth = width;
  state.game.ScreenHeight = height;
  state.game.Running = true;
  ResetBalls(state.game, state.random, 0);
  return state;
}

}  // namespace kraylo
