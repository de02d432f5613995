// Exits 0 when the machine running it has AVX2 (the build machine, at configure time).
int main() { return __builtin_cpu_supports("avx2") ? 0 : 1; }
