// floor_walk: N threads walk a tree with getdents64 + statx (size, times) on each entry and
// print only the count, on stderr: the least any sorted lister with sizes must do.
#define _GNU_SOURCE
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <dirent.h>
struct linux_dirent64 { unsigned long d_ino; long d_off; unsigned short d_reclen; unsigned char d_type; char d_name[]; };
static char **stack; static int top, cap, busy; static pthread_mutex_t mu = PTHREAD_MUTEX_INITIALIZER; static pthread_cond_t cv = PTHREAD_COND_INITIALIZER;
static long total;
static void push(char *p) { if (top == cap) { cap = cap ? cap * 2 : 1024; stack = realloc(stack, cap * sizeof *stack); } stack[top++] = p; }
static void *worker(void *arg) {
  char buf[65536]; long n = 0;
  for (;;) {
    pthread_mutex_lock(&mu);
    while (top == 0 && busy > 0) pthread_cond_wait(&cv, &mu);
    if (top == 0) { pthread_cond_broadcast(&cv); pthread_mutex_unlock(&mu); break; }
    char *path = stack[--top]; busy++;
    pthread_mutex_unlock(&mu);
    int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
      long r;
      while ((r = syscall(SYS_getdents64, fd, buf, sizeof buf)) > 0) {
        for (long off = 0; off < r;) {
          struct linux_dirent64 *d = (void *)(buf + off); off += d->d_reclen;
          if (d->d_name[0] == '.' && (!d->d_name[1] || (d->d_name[1] == '.' && !d->d_name[2]))) continue;
          struct statx sx; statx(fd, d->d_name, AT_SYMLINK_NOFOLLOW, STATX_SIZE | STATX_MTIME | STATX_BTIME | STATX_ATIME | STATX_TYPE, &sx);
          n++;
          if (S_ISDIR(sx.stx_mode)) {
            size_t l = strlen(path), m = strlen(d->d_name); char *c = malloc(l + m + 2);
            memcpy(c, path, l); c[l] = '/'; memcpy(c + l + 1, d->d_name, m + 1);
            pthread_mutex_lock(&mu); push(c); pthread_cond_signal(&cv); pthread_mutex_unlock(&mu);
          }
        }
      }
      close(fd);
    }
    free(path);
    pthread_mutex_lock(&mu); busy--; if (top == 0 && busy == 0) pthread_cond_broadcast(&cv); pthread_mutex_unlock(&mu);
  }
  __atomic_add_fetch(&total, n, __ATOMIC_RELAXED);
  return 0;
}
int main(int argc, char **argv) {
  int nt = atoi(argv[1]); push(strdup(argv[2]));
  pthread_t t[64]; for (int i = 0; i < nt; i++) pthread_create(&t[i], 0, worker, 0);
  for (int i = 0; i < nt; i++) pthread_join(t[i], 0);
  fprintf(stderr, "%ld entries\n", total); return 0;
}
