// Placeholder until the substitute tool lands.
int main() { return 1; }
