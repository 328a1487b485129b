// rzt-cli: measures Java source code from the command line.
int main() { return 0; }
