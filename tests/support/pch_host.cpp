// Only carries the precompiled headers that every test program of its kind reuses.
int main() { return 0; }
