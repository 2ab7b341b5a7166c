#include <client/files.h>
#include <client/profile.h>
#include <client/startup.h>
#include <client/built_in.h>
#include <client/texts.h>

#include <board/geometry.h>
#include <protocol/gbk_codec.h>
#include <protocol/text.h>

#include <array>
#include <string>

namespace client {

namespace {

struct Box {
  std::int32_t left, top, right, bottom;
};

// Centred on (400, 400), (200, 200), (600, 200), (200, 600) and (600, 600).
constexpr std::array<Box, 5> marks{{{397, 397, 403, 403},
                                    {197, 197, 203, 203},
                                    {597, 197, 603, 203},
                                    {197, 597, 203, 603},
                                    {597, 597, 603, 603}}};

}  // namespace

std::filesystem::path config_path(const std::filesystem::path& run_dir) {
  return run_dir / std::string(text::config_file);
}

std::filesystem::path background_path(const std::filesystem::path& run_dir) {
  // File names on this system are UTF-8.
  return run_dir / protocol::gbk_to_utf8(text::background_file);
}

void draw_board_markings(BoardLayer& board) {
  for (std::int32_t v = 50; v <= 750; v += 50) {
    board.draw_line(50, v, 750, v);
    board.draw_line(v, 50, v, 750);
  }
  board.set_brush_style(brush_hollow);
  board.set_brush_color(0x000000);
  board.set_pen_width(3);
  board.draw_rectangle(40, 40, 760, 760);
  board.set_brush_style(brush_solid);
  board.set_brush_color(0x000000);
  for (const Box& mark : marks) board.draw_ellipse(mark.left, mark.top, mark.right, mark.bottom);
}

bool run_startup(const std::filesystem::path& run_dir, const StartupSeams& seams) {
  const std::filesystem::path config = config_path(run_dir);
  create_when_missing(config, built_in::default_config());
  const std::string address = read_profile_string(config, text::config_section, text::address_key);
  const std::int32_t port = protocol::text_to_int(read_profile_string(config, text::config_section, text::port_key));

  seams.controls.focus_nickname();

  const std::filesystem::path background = background_path(run_dir);
  create_when_missing(background, built_in::default_background());
  // The picture comes first: setting it rebuilds the layer and would wipe earlier drawings.
  seams.board.set_background_picture(read_picture_for_area(background, board::view_size, board::view_size));
  draw_board_markings(seams.board);

  seams.controls.set_status(status::connecting);
  seams.board.flush();
  if (seams.connection.connect(address, port)) {
    seams.controls.set_status(status::idle);
    return true;
  }
  seams.dialogs.inform(text::connect_failed, text::hint, BoxIcon::none);
  seams.program.end(0);
  return false;
}

}  // namespace client
