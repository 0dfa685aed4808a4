/* A QEMU TCG plugin that counts the guest instructions a program executes
 * and prints "insns N" on standard error at exit (scripts/perf-32.sh). The
 * plugin API's header is not packaged, so the few declarations it uses
 * stand here; they are those of plugin API version 1 (QEMU 4.2 on). */
#include <stdint.h>
#include <stdio.h>
typedef uint64_t qemu_plugin_id_t;
struct qemu_plugin_tb;
typedef struct qemu_info_t qemu_info_t;
enum qemu_plugin_op { QEMU_PLUGIN_INLINE_ADD_U64 };
typedef void (*qemu_plugin_vcpu_tb_trans_cb_t)(qemu_plugin_id_t, struct qemu_plugin_tb*);
typedef void (*qemu_plugin_udata_cb_t)(qemu_plugin_id_t, void*);
void qemu_plugin_register_vcpu_tb_trans_cb(qemu_plugin_id_t, qemu_plugin_vcpu_tb_trans_cb_t);
size_t qemu_plugin_tb_n_insns(const struct qemu_plugin_tb*);
void qemu_plugin_register_vcpu_tb_exec_inline(struct qemu_plugin_tb*, enum qemu_plugin_op, void*, uint64_t);
void qemu_plugin_register_atexit_cb(qemu_plugin_id_t, qemu_plugin_udata_cb_t, void*);
__attribute__((visibility("default"))) int qemu_plugin_version = 1;
static uint64_t insns;
static void trans(qemu_plugin_id_t id, struct qemu_plugin_tb* tb) {
  (void)id;
  qemu_plugin_register_vcpu_tb_exec_inline(tb, QEMU_PLUGIN_INLINE_ADD_U64, &insns, qemu_plugin_tb_n_insns(tb));
}
static void done(qemu_plugin_id_t id, void* p) { (void)id; (void)p; fprintf(stderr, "insns %llu\n", (unsigned long long)insns); }
__attribute__((visibility("default"))) int qemu_plugin_install(qemu_plugin_id_t id, const qemu_info_t* info, int argc, char** argv) {
  (void)info; (void)argc; (void)argv;
  qemu_plugin_register_vcpu_tb_trans_cb(id, trans);
  qemu_plugin_register_atexit_cb(id, done, 0);
  return 0;
}
