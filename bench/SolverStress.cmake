# The play-status solver's stress harness, a library shared by the stress_solver program and its
# tests; defined once whichever folder comes first.
if(NOT TARGET tovra_solver_stress)
  add_library(tovra_solver_stress STATIC ${CMAKE_SOURCE_DIR}/bench/KSolverStress.cpp)
  target_include_directories(tovra_solver_stress PUBLIC ${CMAKE_SOURCE_DIR}/bench)
  target_link_libraries(tovra_solver_stress PUBLIC libTovraLib)
endif()
