// A library by the right name that lacks the function the server looks up.
extern "C" int Journal(const char*, int) { return 0; }
