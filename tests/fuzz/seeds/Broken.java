class Broken { void m() { if (a { "unterminated
  /* never closed
