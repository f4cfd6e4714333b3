# Breakpad's Linux client, built from the sources shipped in a pinned npm package.
# The tarball is verified against its registry integrity before anything is unpacked.
set(ORB_MINIDUMP_VERSION 0.26.0)
set(ORB_MINIDUMP_SHA512 "1CJ6kQDd1UawXgmht3pHKzLPuZPb8xrZlgrN+H6/3zKWsUKapTSF2FE7g2Nji/NnVi+GOsVwM8sm2md6BjJUgg==")
set(_mdroot ${ORB_DEPS_CACHE}/minidump-${ORB_MINIDUMP_VERSION})
set(_tgz ${ORB_DEPS_CACHE}/minidump-${ORB_MINIDUMP_VERSION}.tgz)

if(NOT EXISTS ${_mdroot}/package/deps/breakpad/src/client/linux/handler/exception_handler.cc)
  file(MAKE_DIRECTORY ${ORB_DEPS_CACHE})
  if(NOT EXISTS ${_tgz})
    find_program(NPM_PROGRAM npm REQUIRED)
    message(STATUS "Fetching minidump@${ORB_MINIDUMP_VERSION} with npm pack")
    execute_process(COMMAND ${NPM_PROGRAM} pack minidump@${ORB_MINIDUMP_VERSION} --ignore-scripts --silent
                    WORKING_DIRECTORY ${ORB_DEPS_CACHE} RESULT_VARIABLE _rc OUTPUT_QUIET)
    if(NOT _rc EQUAL 0 OR NOT EXISTS ${_tgz})
      message(FATAL_ERROR "npm pack minidump@${ORB_MINIDUMP_VERSION} failed (${_rc})")
    endif()
  endif()
  execute_process(COMMAND sh -c "openssl dgst -sha512 -binary '${_tgz}' | base64 -w0"
                  OUTPUT_VARIABLE _sum OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT _sum STREQUAL ORB_MINIDUMP_SHA512)
    file(REMOVE ${_tgz})
    message(FATAL_ERROR "minidump tarball integrity mismatch: ${_sum}")
  endif()
  file(REMOVE_RECURSE ${_mdroot})
  file(MAKE_DIRECTORY ${_mdroot})
  file(ARCHIVE_EXTRACT INPUT ${_tgz} DESTINATION ${_mdroot})
endif()

set(BREAKPAD_ROOT ${_mdroot}/package/deps/breakpad)
set(BREAKPAD_TOOLS_DIR ${_mdroot}/package/bin/linux-x64 CACHE INTERNAL "")
set(_bp ${BREAKPAD_ROOT}/src)
add_library(breakpad_client STATIC
  ${_bp}/client/linux/crash_generation/crash_generation_client.cc
  ${_bp}/client/linux/crash_generation/crash_generation_server.cc
  ${_bp}/client/linux/dump_writer_common/thread_info.cc
  ${_bp}/client/linux/dump_writer_common/ucontext_reader.cc
  ${_bp}/client/linux/handler/exception_handler.cc
  ${_bp}/client/linux/handler/minidump_descriptor.cc
  ${_bp}/client/linux/log/log.cc
  ${_bp}/client/linux/microdump_writer/microdump_writer.cc
  ${_bp}/client/linux/minidump_writer/linux_core_dumper.cc
  ${_bp}/client/linux/minidump_writer/linux_dumper.cc
  ${_bp}/client/linux/minidump_writer/linux_ptrace_dumper.cc
  ${_bp}/client/linux/minidump_writer/minidump_writer.cc
  ${_bp}/client/linux/minidump_writer/pe_file.cc
  ${_bp}/client/minidump_file_writer.cc
  ${_bp}/common/convert_UTF.cc
  ${_bp}/common/md5.cc
  ${_bp}/common/string_conversion.cc
  ${_bp}/common/linux/elf_core_dump.cc
  ${_bp}/common/linux/elfutils.cc
  ${_bp}/common/linux/file_id.cc
  ${_bp}/common/linux/guid_creator.cc
  ${_bp}/common/linux/linux_libc_support.cc
  ${_bp}/common/linux/memory_mapped_file.cc
  ${_bp}/common/linux/safe_readlink.cc
)
target_include_directories(breakpad_client SYSTEM PUBLIC ${_bp} ${_mdroot}/package/deps)
target_compile_definitions(breakpad_client PRIVATE HAVE_GETCONTEXT=1 HAVE_GETRANDOM=1 HAVE_SYS_RANDOM_H=1)
# Third-party code: its warnings are not ours to fix. It writes the dump from a clone of a
# crashed process with raw system calls over the crash's own stacks; a sanitized build checking
# that code would report the crash's state (and its misaligned kernel records) and stop the dump.
target_compile_options(breakpad_client PRIVATE -w -fno-sanitize=all)
set_target_properties(breakpad_client PROPERTIES POSITION_INDEPENDENT_CODE ON)
find_package(Threads REQUIRED)
target_link_libraries(breakpad_client PUBLIC Threads::Threads)
