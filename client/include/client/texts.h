#pragma once
// The client's own Chinese texts and control names, as GBK bytes; the windows convert them.
#include <string_view>

namespace client::text {

inline constexpr std::string_view game_title = "\xCE\xE5\xD7\xD3\xC6\xE5";  // 五子棋
inline constexpr std::string_view credit = "by the Five-in-a-Row team";
inline constexpr std::string_view nickname_suffix =
    "\x20\x20\xCE\xD2\xB5\xC4\xEA\xC7\xB3\xC6\xA3\xBA";  // "  我的昵称："
inline constexpr std::string_view nickname_label = "\xCE\xD2\xB5\xC4\xEA\xC7\xB3\xC6\xA3\xBA";  // 我的昵称：
inline constexpr std::string_view ready = "\xD7\xBC\xB1\xB8";          // 准备
inline constexpr std::string_view readied = "\xD2\xD1\xD7\xBC\xB1\xB8";  // 已准备

inline constexpr std::string_view hint = "\xCC\xE1\xCA\xBE";                // 提示
inline constexpr std::string_view hint_white = "\xCC\xE1\xCA\xBE\x31";      // 提示1
inline constexpr std::string_view hint_black = "\xCC\xE1\xCA\xBE\x32";      // 提示2
inline constexpr std::string_view move_hint = "\xCF\xC2\xC6\xE5\xCC\xE1\xCA\xBE";  // 下棋提示
inline constexpr std::string_view won_caption = "\xD3\xAE\xC1\xCB";         // 赢了
inline constexpr std::string_view draw_caption = "\xC6\xBD\xBE\xD6";        // 平局
inline constexpr std::string_view fled_caption = "\xB6\xD4\xCA\xD6\xCC\xD3\xC5\xDC";  // 对手逃跑
inline constexpr std::string_view broken_caption = "\xC1\xAC\xBD\xD3\xD2\xD1\xB6\xCF\xBF\xAA";  // 连接已断开

// 还没有找到对手，不能下棋
inline constexpr std::string_view no_rival_yet =
    "\xBB\xB9\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD\xB6\xD4\xCA\xD6\xA3\xAC\xB2\xBB\xC4\xDC\xCF\xC2\xC6\xE5";
// 当前位置已经有棋子了，不能再下！请换个位置
inline constexpr std::string_view point_taken =
    "\xB5\xB1\xC7\xB0\xCE\xBB\xD6\xC3\xD2\xD1\xBE\xAD\xD3\xD0\xC6\xE5\xD7\xD3\xC1\xCB\xA3\xAC\xB2\xBB"
    "\xC4\xDC\xD4\xD9\xCF\xC2\xA3\xA1\xC7\xEB\xBB\xBB\xB8\xF6\xCE\xBB\xD6\xC3";
// 对手还没有下棋哦，等对手下完棋后再下棋
inline constexpr std::string_view wait_for_rival =
    "\xB6\xD4\xCA\xD6\xBB\xB9\xC3\xBB\xD3\xD0\xCF\xC2\xC6\xE5\xC5\xB6\xA3\xAC\xB5\xC8\xB6\xD4\xCA\xD6"
    "\xCF\xC2\xCD\xEA\xC6\xE5\xBA\xF3\xD4\xD9\xCF\xC2\xC6\xE5";
inline constexpr std::string_view lost_caption = "\xCA\xE4\xC1\xCB";      // 输了
inline constexpr std::string_view regret = "\xBA\xDC\xD2\xC5\xBA\xB6\xA3\xAC";  // 很遗憾，
inline constexpr std::string_view congratulations = "\xB9\xA7\xCF\xB2";  // 恭喜
// 赢了！是否重新再玩一局？
inline constexpr std::string_view won_play_again =
    "\xD3\xAE\xC1\xCB\xA3\xA1\xCA\xC7\xB7\xF1\xD6\xD8\xD0\xC2\xD4\xD9\xCD\xE6\xD2\xBB\xBE\xD6\xA3\xBF";
// 平局是否重新再玩一局？
inline constexpr std::string_view draw_play_again =
    "\xC6\xBD\xBE\xD6\xCA\xC7\xB7\xF1\xD6\xD8\xD0\xC2\xD4\xD9\xCD\xE6\xD2\xBB\xBE\xD6\xA3\xBF";
// 您的对手已经逃跑，本局结束！
inline constexpr std::string_view rival_fled =
    "\xC4\xFA\xB5\xC4\xB6\xD4\xCA\xD6\xD2\xD1\xBE\xAD\xCC\xD3\xC5\xDC\xA3\xAC\xB1\xBE\xBE\xD6\xBD\xE1"
    "\xCA\xF8\xA3\xA1";
// 与服务器断开连接，请检查网络配置文件信息是否正确再重启程序！
inline constexpr std::string_view connection_broken =
    "\xD3\xEB\xB7\xFE\xCE\xF1\xC6\xF7\xB6\xCF\xBF\xAA\xC1\xAC\xBD\xD3\xA3\xAC\xC7\xEB\xBC\xEC\xB2\xE9"
    "\xCD\xF8\xC2\xE7\xC5\xE4\xD6\xC3\xCE\xC4\xBC\xFE\xD0\xC5\xCF\xA2\xCA\xC7\xB7\xF1\xD5\xFD\xC8\xB7"
    "\xD4\xD9\xD6\xD8\xC6\xF4\xB3\xCC\xD0\xF2\xA3\xA1";
// 连接服务器失败，请重试
inline constexpr std::string_view connect_failed =
    "\xC1\xAC\xBD\xD3\xB7\xFE\xCE\xF1\xC6\xF7\xCA\xA7\xB0\xDC\xA3\xAC\xC7\xEB\xD6\xD8\xCA\xD4";
// 请先输入昵称，好让对手知道败给了谁？
inline constexpr std::string_view enter_nickname =
    "\xC7\xEB\xCF\xC8\xCA\xE4\xC8\xEB\xEA\xC7\xB3\xC6\xA3\xAC\xBA\xC3\xC8\xC3\xB6\xD4\xCA\xD6\xD6\xAA"
    "\xB5\xC0\xB0\xDC\xB8\xF8\xC1\xCB\xCB\xAD\xA3\xBF";

inline constexpr std::string_view config_file = "SConfig.ini";
inline constexpr std::string_view background_file = "\xB1\xB3\xBE\xB0\x32\x2E\x70\x6E\x67";  // 背景2.png
inline constexpr std::string_view config_section = "SCG";
inline constexpr std::string_view address_key = "IP";
inline constexpr std::string_view port_key = "DK";

}  // namespace client::text

// The status line: where the game stands, in short phrases.
namespace client::status {
inline constexpr std::string_view connecting =
    "\xD5\xFD\xD4\xDA\xC1\xAC\xBD\xD3\xB7\xFE\xCE\xF1\xC6\xF7\xA1\xAD\xA1\xAD";  // 正在连接服务器……
inline constexpr std::string_view idle =
    "\xC7\xEB\xCA\xE4\xC8\xEB\xEA\xC7\xB3\xC6\xA3\xAC\xC8\xBB\xBA\xF3\xB0\xB4\xD7\xBC\xB1\xB8";  // 请输入昵称，然后按准备
inline constexpr std::string_view waiting =
    "\xD2\xD1\xD7\xBC\xB1\xB8\xA3\xAC\xB5\xC8\xB4\xFD\xB6\xD4\xCA\xD6\xA1\xAD\xA1\xAD";  // 已准备，等待对手……
inline constexpr std::string_view you_play = "\xC4\xE3\xD6\xB4";  // 你执 (+ colour)
inline constexpr std::string_view your_move = "\xA3\xBA\xC2\xD6\xB5\xBD\xC4\xE3\xCF\xC2";   // ：轮到你下
inline constexpr std::string_view rival_move = "\xA3\xBA\xB5\xC8\xB6\xD4\xCA\xD6\xCF\xC2";  // ：等对手下
inline constexpr std::string_view won = "\xC4\xE3\xD3\xAE\xC1\xCB\xA3\xA1";  // 你赢了！
inline constexpr std::string_view lost = "\xB6\xD4\xCA\xD6\xD3\xAE\xC1\xCB";  // 对手赢了
inline constexpr std::string_view draw = "\xC6\xBD\xBE\xD6";  // 平局
inline constexpr std::string_view rival_left = "\xB6\xD4\xCA\xD6\xD2\xD1\xC0\xEB\xBF\xAA";  // 对手已离开
}  // namespace client::status

namespace client::name {

inline constexpr std::string_view board_view = "\xB6\xAF\xBB\xAD\xBF\xF2\x31";  // 动画框1
inline constexpr std::string_view own_stone = "\xCD\xBC\xC6\xAC\xBF\xF2\x31";   // 图片框1
inline constexpr std::string_view nickname_label =
    "\xB1\xEA\xC7\xA9\x5F\xCE\xD2\xB5\xC4\xEA\xC7\xB3\xC6";  // 标签_我的昵称
inline constexpr std::string_view nickname_box =
    "\xB1\xE0\xBC\xAD\xBF\xF2\x5F\xCE\xD2\xB5\xC4\xEA\xC7\xB3\xC6";  // 编辑框_我的昵称
inline constexpr std::string_view status_label = "\xB1\xEA\xC7\xA9\x5F\xD7\xB4\xCC\xAC";  // 标签_状态
inline constexpr std::string_view ready_button = "\xB0\xB4\xC5\xA5\x5F\xD7\xBC\xB1\xB8";  // 按钮_准备
inline constexpr std::string_view connection = "\xBF\xCD\xBB\xA7\x31";  // 客户1

}  // namespace client::name
