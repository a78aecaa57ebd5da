# The test executables of the Windows build: the platform-neutral suites less
# what needs the OpenGL renderer, SDL or the POSIX platform layer, plus the
# Win32 platform classes' own tests. tools/windows/run-tests.sh runs them
# under Wine.
velmora_test(engine_tests DIRS engine
  EXCLUDE engine/sdl/ engine/win32/ engine/filesystem/FolderOperationTests.cpp
  LIBS velmora_engine)
# The Win32 platform classes: folder operations, UTF-8 names, library loading.
velmora_test(win32_tests DIRS engine/win32
  LIBS velmora_engine)
target_sources(win32_tests PRIVATE engine/filesystem/FileSystemTestSupport.cpp)
velmora_test(video_tests DIRS video
  EXCLUDE video/GLTestContext.cpp video/GPUTestSupport.cpp
          video/BufferTests.cpp video/FontTests.cpp video/FrameStatisticsTests.cpp video/MaterialTests.cpp
          video/OffscreenSceneTests.cpp video/OpenGLRendererTests.cpp video/OpenGLStateTests.cpp
          video/OpenGLTextureTests.cpp video/RenderTargetTests.cpp video/RendererBindingTests.cpp
          video/ShaderTests.cpp video/ViewportAndCameraTests.cpp
  LIBS velmora_engine)
velmora_test(scene_tests DIRS scene
  EXCLUDE scene/BillboardTests.cpp scene/ButterflyTests.cpp scene/EffectPictureTests.cpp
          scene/ParticleSystemTests.cpp scene/PipelinePictureTests.cpp scene/PipelineTestSupport.cpp
          scene/RenderingPipelineTests.cpp scene/SkyAndLensFlareTests.cpp scene/TerrainPackedLayersTests.cpp
          scene/TerrainPictureTests.cpp scene/SurfAndCloudTests.cpp scene/WindPictureTests.cpp
          # These run the content tools, which the Windows build does not have.
          scene/SceneToolTests.cpp scene/TerrainToolTests.cpp
  LIBS velmora_engine)
velmora_test(sound_tests DIRS sound LIBS velmora_engine)
velmora_test(script_tests DIRS script LIBS velmora_script)
# Every GUI test draws through the off-screen OpenGL renderer: none yet.
# The Windows screensaver shell's own classes: the registry settings store, the dialog resource and
# its view, the desktop services.
velmora_test(win32_app_tests DIRS app/win32 LIBS brevonne_app)
target_sources(win32_app_tests PRIVATE ${BREVONNE_WIN32_RESOURCES})
# The documents-folder test asks the shell's known-folder interface.
target_link_libraries(win32_app_tests PRIVATE ole32 uuid)
