# Copies the run-time data (data/: layouts, patches) beside the programs
# without ever losing an edit made there. Run at every build:
#   cmake -DSRC=<data dir> -DDEST=<bin dir> -DSTAMPS=<dir> -P copy_data.cmake
# For each file the build records what it copied (a SHA-1 under STAMPS). A
# copy is refreshed only while it still holds what the build put there; one
# changed since (a layout saved with F2 from bin/RC, say) is kept and named.
# A copy with no record (a build tree from before the records) that differs
# is moved aside to NAME.kept before the new one is copied.
file(GLOB_RECURSE files RELATIVE "${SRC}" "${SRC}/*")
foreach(rel IN LISTS files)
  set(src "${SRC}/${rel}")
  set(dst "${DEST}/${rel}")
  set(stamp "${STAMPS}/${rel}.sha1")
  file(SHA1 "${src}" srcHash)
  set(copy FALSE)
  if(NOT EXISTS "${dst}")
    set(copy TRUE)
  else()
    file(SHA1 "${dst}" dstHash)
    if(dstHash STREQUAL srcHash)
      file(WRITE "${stamp}" "${srcHash}")
    elseif(EXISTS "${stamp}")
      file(READ "${stamp}" copiedHash)
      if(dstHash STREQUAL copiedHash)
        set(copy TRUE)
      else()
        message(NOTICE "${dst} was changed after the build copied it: kept, not replaced by ${src}. "
                       "Copy it into ${SRC} to keep the change, or delete it to take ${src} again.")
      endif()
    else()
      file(RENAME "${dst}" "${dst}.kept")
      message(NOTICE "${dst} differed from ${src} and the build had no record of copying it: "
                     "moved aside to ${dst}.kept")
      set(copy TRUE)
    endif()
  endif()
  if(copy)
    get_filename_component(dir "${dst}" DIRECTORY)
    file(MAKE_DIRECTORY "${dir}")
    file(COPY_FILE "${src}" "${dst}")
    file(WRITE "${stamp}" "${srcHash}")
  endif()
endforeach()
