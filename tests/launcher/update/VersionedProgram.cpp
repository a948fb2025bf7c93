// Stands in for an installed component program: only its version resource matters.
int main() { return 0; }
