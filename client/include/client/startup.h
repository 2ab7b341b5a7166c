#pragma once
// What the client does once its window exists: default files, configuration, board drawing and
// the blocking connect.
#include <client/board_layer.h>
#include <client/seams.h>

#include <filesystem>

namespace client {

struct StartupSeams {
  BoardLayer& board;
  Controls& controls;
  Connection& connection;
  Dialogs& dialogs;
  ProgramExit& program;
};

std::filesystem::path config_path(const std::filesystem::path& run_dir);
std::filesystem::path background_path(const std::filesystem::path& run_dir);

// The 15x15 grid, the frame and the five marks, drawn on the layer in this order.
void draw_board_markings(BoardLayer& board);

// Runs the whole sequence; on a failed connect shows its box and ends the program with 0.
// Returns whether the connection stands.
bool run_startup(const std::filesystem::path& run_dir, const StartupSeams& seams);

}  // namespace client
